#pragma once
// Text helpers. Texts are 8-bit byte strings (a table's code page) unless said otherwise.
#include <cstddef>
#include <string>
#include <string_view>

namespace ecf::common {

// Every occurrence of `c` removed, the other bytes kept in order.
std::string removeChar(std::string_view text, char c);

// 1-based position at which `pattern` first occurs in `text`; 0 when it does not occur, when
// it is longer than the text, or when the text is empty. An empty pattern in a non-empty
// text gives 1.
int findPos(std::string_view text, std::string_view pattern);

// Leading and trailing blanks and control bytes (<= 0x20) removed.
std::string trim(std::string_view text);
// Leading and trailing blanks (0x20) only removed.
std::string trimBlanks(std::string_view text);

// Each control byte (below 0x20, and 0x7F) a blank: a table text on its way to a printer call
// never carries a printer command of its own.
std::string blankControls(std::string_view text);

// Upper-cased in code page 1252 (a-z and the accented letters).
std::string upperCase(std::string_view text);

// Characters p..q of `text` counted from 1, fewer (or none) when the range runs past its end.
std::string chars(std::string_view text, std::size_t p, std::size_t q);
// The first n bytes of text.
std::string left(std::string_view text, std::size_t n);

// Code-page conversion for display: bytes in the given Windows / DOS code page to UTF-8
// and back. Unknown code pages are taken as 1252; bytes that do not map become '?'.
std::string toUtf8(std::string_view bytes, int codePage = 1252);
std::string fromUtf8(std::string_view utf8, int codePage = 1252);

// A text in a Windows code page as the wide (UTF-16) text the Sigtron control takes, and back.
std::u16string widen(std::string_view bytes, int codePage = 1252);
std::string narrow(std::u16string_view wide, int codePage = 1252);

// UTF-8 one code point at a time: appends the encoding of `cp`; reads the code point at
// `i` and moves past it (a malformed sequence gives U+FFFD and skips one byte).
void appendUtf8(std::string& out, char32_t cp);
char32_t nextUtf8(std::string_view utf8, std::size_t& i);

// An error's text for the operator port: as it is when it is UTF-8, else taken as code page
// 1252 (error texts may carry a table's values).
std::string errorText(const std::string& what);

// Latin-1 view: each byte to the Unicode code point of the same value, as UTF-8.
std::string latin1ToUtf8(std::string_view bytes);
// And back: each code point up to U+00FF to its byte, any other to '?'.
std::string utf8ToLatin1(std::string_view utf8);

} // namespace ecf::common
