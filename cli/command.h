#pragma once
// One class per ecf-cli command.
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace ecf::cli {

// Wrong arguments: the front end prints the usage text and ends with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Streams {
    std::istream& in;   // the operator's answers
    std::ostream& out;  // boxes, questions, results
    std::ostream& err;  // failures of the front end itself
};

// Exit status of a command that ran (usage errors are 2).
// 3: what was asked was not done (the printer refused or failed, access denied, the operator
// declined).
enum ExitStatus : int { kExitOk = 0, kExitError = 1, kExitUsage = 2, kExitNotDone = 3 };

class Command {
public:
    virtual ~Command() = default;
    virtual std::string name() const = 0;
    virtual std::string synopsis() const = 0;     // "fiscal-memory FIRST LAST"
    virtual std::string description() const = 0;  // one line for the help text
    // args: the arguments after the command's name. Throws UsageError for wrong arguments.
    virtual int run(const std::vector<std::string>& args, Streams& io) = 0;
};

} // namespace ecf::cli
