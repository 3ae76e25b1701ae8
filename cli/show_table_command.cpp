// show-table FILE: a Paradox table's fields and records for a person to read, so that a
// technician can see what the host left in a table without a Paradox tool. Texts are converted
// from the table's code page; nulls show as (null), blobs as their size, damaged values as the
// error a read of them raises.
#include "command.h"
#include "common/convert.h"
#include "common/errors.h"
#include "common/text.h"
#include "data/paradox/px.h"
#include "data/paradox/px_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

namespace ecf::cli {

namespace {

namespace px = data::px;

const char* typeName(px::FieldType t)
{
    switch (t) {
    case px::FieldType::Alpha: return "Alpha";
    case px::FieldType::Date: return "Date";
    case px::FieldType::Short: return "Short";
    case px::FieldType::Long: return "Long";
    case px::FieldType::Currency: return "Currency";
    case px::FieldType::Number: return "Number";
    case px::FieldType::Logical: return "Logical";
    case px::FieldType::Memo: return "Memo";
    case px::FieldType::Blob: return "Binary";
    case px::FieldType::FmtMemo: return "Formatted memo";
    case px::FieldType::Ole: return "OLE";
    case px::FieldType::Graphic: return "Graphic";
    case px::FieldType::Time: return "Time";
    case px::FieldType::Timestamp: return "Timestamp";
    case px::FieldType::AutoInc: return "Autoincrement";
    case px::FieldType::Bcd: return "BCD";
    case px::FieldType::Bytes: return "Bytes";
    }
    return "?";
}

// A text in quotes, converted to UTF-8, with its control characters written as escapes so
// that every value stays on its line.
std::string quoted(const std::string& bytes, int codePage)
{
    std::string out = "\"";
    for (const char ch : common::toUtf8(bytes, codePage)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out.push_back(ch);
        }
    }
    return out + "\"";
}

// Days counted as the engine does (1 January of year 1 is day 1) as dd/mm/yyyy.
std::string dayText(std::int64_t days)
{
    int y = 0, m = 0, d = 0;
    ecf::common::civilDate(days - 1, y, m, d);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return buf;
}

std::string timeText(std::int64_t ms)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(ms / 3600000),
                  static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60));
    std::string out = buf;
    if (ms % 1000 != 0) {
        std::snprintf(buf, sizeof buf, ".%03lld", static_cast<long long>(ms % 1000));
        out += buf;
    }
    return out;
}

// Characters of a UTF-8 text, for aligning the columns.
std::size_t columns(const std::string& utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Plain decimal, never an exponent, with as many places as the value needs to read back the
// same (6.5e+07 is 65000000, 1e-04 is 0.0001).
std::string shortest(double d)
{
    char buf[400]; // the widest double in fixed notation takes 310 characters
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

std::string valueText(const px::Value& v, px::FieldType type, int codePage)
{
    using Kind = px::Value::Kind;
    switch (v.kind) {
    case Kind::Null:
        return "(null)";
    case Kind::Text:
        return quoted(v.bytes, codePage);
    case Kind::Integer:
        return std::to_string(v.integer);
    case Kind::Float:
        return shortest(v.real);
    case Kind::Bcd:
        return v.bytes;
    case Kind::Logical:
        return v.logical ? "True" : "False";
    case Kind::Date:
        return dayText(v.integer);
    case Kind::Time:
        return timeText(v.integer);
    case Kind::Timestamp: {
        const double days = std::floor(v.real / 86400000.0);
        return dayText(static_cast<std::int64_t>(days)) + " " +
               timeText(static_cast<std::int64_t>(v.real - days * 86400000.0));
    }
    case Kind::Bytes:
        if (type == px::FieldType::Bytes) {
            std::string out = "bytes";
            char buf[4];
            for (const unsigned char c : v.bytes) {
                std::snprintf(buf, sizeof buf, " %02x", c);
                out += buf;
            }
            return out;
        }
        return "(" + std::string(typeName(type)) + ", " + std::to_string(v.bytes.size()) + " bytes)";
    }
    return "?";
}

class ShowTableCommand : public Command {
public:
    std::string name() const override { return "show-table"; }
    std::string synopsis() const override { return "show-table FILE"; }
    std::string description() const override { return "a Paradox table's fields and records for a person to read"; }

    int run(const std::vector<std::string>& args, Streams& io) override
    {
        if (args.size() != 1)
            throw UsageError("show-table takes the table's FILE");
        std::unique_ptr<px::PxTable> t;
        try {
            t = std::make_unique<px::PxTable>(px::PxTable::read(args[0]));
        } catch (const common::Error& e) {
            io.err << "ecf-cli: " << e.what() << '\n';
            std::error_code ec;
            if (std::filesystem::is_regular_file(args[0], ec))
                io.err << "ecf-cli: o show-table lê uma tabela Paradox: o arquivo .DB de uma tabela do banco de "
                          "dados (por exemplo CFCABEC.DB na pasta de VANTIS_DIR)\n";
            return kExitError;
        }
        const auto& info = t->info();
        const int cp = info.codePage;
        io.out << "table " << args[0] << ": Paradox file version " << info.fileVersion << ", code page " << cp << ", "
               << t->records().size() << (t->records().size() == 1 ? " record" : " records") << ", "
               << info.keyFieldCount << " key field" << (info.keyFieldCount == 1 ? "" : "s") << '\n';
        std::size_t width = 0;
        std::vector<std::string> names;
        for (const auto& f : info.fields) {
            names.push_back(common::toUtf8(f.name, cp));
            width = std::max(width, columns(names.back()));
        }
        io.out << "fields:\n";
        for (std::size_t i = 0; i < info.fields.size(); ++i) {
            const auto& f = info.fields[i];
            io.out << "  " << (i + 1) << ". " << names[i] << ": " << typeName(f.type);
            if (f.type == px::FieldType::Bcd)
                io.out << " (" << f.bcdDigits << " decimals)";
            else if (px::format::fixedSize(f.type) == 0)
                io.out << " (" << f.size << ")";
            io.out << (static_cast<int>(i) < info.keyFieldCount ? ", key" : "") << '\n';
        }
        for (std::size_t r = 0; r < t->records().size(); ++r) {
            io.out << "record " << (r + 1) << ":\n";
            for (std::size_t i = 0; i < info.fields.size(); ++i) {
                io.out << "  " << names[i] << std::string(width - columns(names[i]), ' ') << " = ";
                const auto& damage = t->damage();
                const auto bad = std::find_if(damage.begin(), damage.end(),
                                              [&](const px::PxTable::Damage& d) { return d.record == r && d.field == i; });
                if (bad != damage.end())
                    io.out << "(damaged: " << bad->what << ")\n";
                else
                    io.out << valueText(t->value(r, i), info.fields[i].type, cp) << '\n';
            }
        }
        if (!t->damage().empty()) {
            io.err << "ecf-cli: " << t->damage().size() << " damaged value" << (t->damage().size() == 1 ? "" : "s")
                   << " in " << args[0] << '\n';
            return kExitError;
        }
        return kExitOk;
    }
};

} // namespace

std::unique_ptr<Command> makeShowTableCommand() { return std::make_unique<ShowTableCommand>(); }

} // namespace ecf::cli
