#pragma once
// The Sweda command channel: the process-wide command buffer and reply buffer of 513 bytes
// each, the open call and the request sequence (copy the command into the command buffer,
// send it, read the reply into the reply buffer).
#include "printer/sweda/sweda_lib.h"

#include <array>
#include <string>
#include <string_view>

namespace ecf::printer::sweda {

class SwedaChannel {
public:
    static constexpr int bufferSize = 513;
    static constexpr int readLength = 512;   // the most a read may fill

    explicit SwedaChannel(SwedaLib& lib);

    // Opens the library on the port text converted to an integer (ConversionError when it is
    // not a whole number). 0: open.
    int open(const std::string& portText);

    // Copies the command into the command buffer and sends it; the result (0: sent). A
    // command longer than the buffer takes is cut to its first 512 bytes.
    int send(std::string_view command);
    // Reads the reply into the reply buffer.
    void read();
    // send() and, when `readReply`, read(); the send result.
    int request(std::string_view command, bool readReply = true);

    // The reply buffer's text up to its first NUL.
    std::string reply() const;
    // The command buffer's text up to its first NUL (what was last sent).
    std::string command() const;

private:
    SwedaLib& lib_;
    std::array<char, bufferSize> command_{};
    std::array<char, bufferSize> reply_{};
};

} // namespace ecf::printer::sweda
