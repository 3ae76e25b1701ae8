#include "common/text.h"

namespace ecf::common {

std::string removeChar(std::string_view text, char c)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        if (ch != c)
            out.push_back(ch);
    return out;
}

int findPos(std::string_view text, std::string_view pattern)
{
    if (text.empty() || pattern.size() > text.size())
        return 0;
    const auto at = text.find(pattern);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string trim(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20)
        --e;
    return std::string(text.substr(b, e - b));
}

std::string blankControls(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return out;
}

std::string trimBlanks(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    return std::string(text.substr(b, e - b));
}

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char& ch : out) {
        const auto u = static_cast<unsigned char>(ch);
        if (u >= 'a' && u <= 'z')
            ch = static_cast<char>(u - 32);
        else if (u >= 0xE0 && u <= 0xFE && u != 0xF7) // cp1252 accented small letters
            ch = static_cast<char>(u - 32);
    }
    return out;
}

std::string chars(std::string_view text, std::size_t p, std::size_t q)
{
    if (p == 0)
        p = 1;
    if (q < p || p > text.size())
        return {};
    return std::string(text.substr(p - 1, q - p + 1));
}

std::string left(std::string_view text, std::size_t n)
{
    return std::string(text.substr(0, n));
}

std::string latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char ch : bytes)
        appendUtf8(out, static_cast<unsigned char>(ch));
    return out;
}

std::string utf8ToLatin1(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = nextUtf8(utf8, i);
        out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
    }
    return out;
}

namespace {

bool validUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (n < 0 || i + static_cast<std::size_t>(n) >= s.size())
            return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<std::size_t>(n) + 1;
    }
    return true;
}

} // namespace

std::string errorText(const std::string& what) { return validUtf8(what) ? what : toUtf8(what, 1252); }

} // namespace ecf::common
