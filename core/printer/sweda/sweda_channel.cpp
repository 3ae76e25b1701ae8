#include "printer/sweda/sweda_channel.h"

#include "common/convert.h"

#include <algorithm>
#include <cstring>

namespace ecf::printer::sweda {

SwedaChannel::SwedaChannel(SwedaLib& lib) : lib_(lib) {}

int SwedaChannel::open(const std::string& portText)
{
    const int port = common::strToInt(portText);
    return lib_.SwedaOpen(port, 5, 1, 1);
}

int SwedaChannel::send(std::string_view command)
{
    const std::size_t n = std::min(command.size(), static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(command_.data(), command.data(), n);
    command_[n] = '\0';
    return lib_.SwedaSend(command_.data());
}

void SwedaChannel::read()
{
    lib_.SwedaRead(reply_.data(), readLength);
    reply_[bufferSize - 1] = '\0'; // a read fills at most 512 bytes; the last one always ends the text
}

int SwedaChannel::request(std::string_view command, bool readReply)
{
    const int r = send(command);
    if (readReply)
        read();
    return r;
}

std::string SwedaChannel::reply() const
{
    return std::string(reply_.data(), strnlen(reply_.data(), reply_.size()));
}

std::string SwedaChannel::command() const
{
    return std::string(command_.data(), strnlen(command_.data(), command_.size()));
}

} // namespace ecf::printer::sweda
