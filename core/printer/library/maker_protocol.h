#pragma once
// What the program and its helper process (ecf-maker-host) say over their socket: a compact
// form of the trace's call records. Every message is one frame, a 4-byte little-endian length
// and the payload. Numbers are little-endian; a text is a 4-byte length and its bytes.
//
//   table  (program, once, first): 'T', the control flag (1 byte), the family's name, a 2-byte
//                     count, then each function: name, symbol, argument kinds (texts), result
//                     kind (1 byte), buffer size, failure result, ordinal (8-byte integers)
//   hello  (helper, once, after loading the library): status, detail text
//   call   (program): 'C', 2-byte function index, then each argument of the signature:
//                     'i' 8-byte integer, 'd' 8-byte double, 's' text, 'b' text (the buffer's
//                     bytes as prepared), 'r' nothing
//   reply  (helper):  Ok, the result ('i' 8-byte integer, 's' text, 'v' nothing), then the
//                     bytes of each 'b' buffer and the value of each 'r' integer;
//                     or Fault and a detail text, after which the helper ends
//   quit   (program): 'Q'
// Self-contained (no other ECF header), since the helper is also built as a 32-bit program.
#include "printer/library/maker_signatures.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ecf::printer::library::wire {

enum Hello : std::uint8_t { Ready = 0, NotLoadable = 1, MissingSymbol = 2, BadRequest = 3 };
enum Status : std::uint8_t { Ok = 0, Fault = 1 };
constexpr std::uint8_t callTag = 'C';
constexpr std::uint8_t quitTag = 'Q';
constexpr std::uint8_t tableTag = 'T';
// A frame longer than this is refused (a reply text is cut well before it).
constexpr std::uint32_t maxFrame = 16u << 20;

// One argument or result; which member counts follows its kind letter.
struct Value {
    std::int64_t i = 0;
    double d = 0;
    std::string s;
};

class Writer {
public:
    Writer() { buf_.resize(4); }
    void u8(std::uint8_t v) { buf_.push_back(static_cast<char>(v)); }
    void u16(std::uint16_t v);
    void i64(std::int64_t v);
    void f64(double v);
    void text(std::string_view v);
    // The frame: length and payload.
    const std::string& frame();

private:
    std::string buf_;
};

class Reader {
public:
    explicit Reader(std::string_view payload) : p_(payload) {}
    bool u8(std::uint8_t& v);
    bool u16(std::uint16_t& v);
    bool i64(std::int64_t& v);
    bool f64(double& v);
    bool text(std::string& v);
    bool atEnd() const { return p_.empty(); }

private:
    bool take(void* dst, std::size_t n);
    std::string_view p_;
};

// The length a frame header announces.
std::uint32_t frameLength(const char header[4]);

// A family's table as the helper receives it: it owns the texts its signatures point to.
struct ReceivedFamily {
    std::string name;
    bool control = false;
    std::vector<Signature> functions;
    std::vector<std::unique_ptr<std::string>> texts;
    LibraryFamily family() const { return {name.c_str(), "", functions, control}; }
};

std::string encodeTable(const LibraryFamily& family);
bool decodeTable(std::string_view payload, ReceivedFamily& out);

std::string encodeHello(Hello status, std::string_view detail);
bool decodeHello(std::string_view payload, Hello& status, std::string& detail);

std::string encodeCall(int index, const Signature& sig, std::span<const Value> args);
// The function index and the arguments of a call frame's payload, against the family's table.
bool decodeCall(std::string_view payload, const LibraryFamily& family, int& index, std::vector<Value>& args);

std::string encodeReply(const Signature& sig, const Value& ret, std::span<const Value> args);
std::string encodeFault(std::string_view detail);
// Ok: fills `ret` and the 'b' and 'r' members of `args`. Fault: fills `detail`. nullopt: malformed.
std::optional<Status> decodeReply(std::string_view payload, const Signature& sig, Value& ret,
                                  std::vector<Value>& args, std::string& detail);

} // namespace ecf::printer::library::wire
