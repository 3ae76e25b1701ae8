#pragma once
// The trace: one JSON object per line, appended to the file named by ECF_TRACE. Each line is
// handed to the operating system with one write before the program goes on, so a crash loses
// no line that came before it.
#include <memory>
#include <string>
#include <string_view>

namespace ecf::common {

class Trace {
public:
    // The trace of ECF_TRACE, or null when the variable is unset or empty.
    // Throws ConfigError when the file cannot be opened.
    static std::shared_ptr<Trace> fromEnvironment();
    explicit Trace(const std::string& path);
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // Appends `json` and a line feed.
    void writeLine(std::string_view json);

private:
    int fd_ = -1;
    std::string path_;
};

namespace json {
// Appends a JSON string literal (quotes included).
void appendUtf8(std::string& out, std::string_view utf8);     // UTF-8 text (invalid bytes as U+FFFD)
void appendLatin1(std::string& out, std::string_view bytes);  // each byte as the code point of the same value
void appendUtf16(std::string& out, std::u16string_view wide);
} // namespace json

} // namespace ecf::common
