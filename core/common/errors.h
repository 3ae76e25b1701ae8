#pragma once
// The errors that end a running handler. The application's default error handler shows
// their text and the program goes on.
#include <stdexcept>
#include <string>

namespace ecf::common {

// Base of every error the program raises on purpose.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that should hold a number or a date and does not ("'abc' is not a valid integer value").
class ConversionError : public Error {
public:
    using Error::Error;
};

// A missing table or field, an unreadable or malformed table file, a failed write.
class DatabaseError : public Error {
public:
    using Error::Error;
};

// A file the program needs could not be opened (the MP-20 reply file).
class FileError : public Error {
public:
    using Error::Error;
};

// A setting or file given to the program is unusable (for instance the canned-results file).
class ConfigError : public Error {
public:
    using Error::Error;
};

} // namespace ecf::common
