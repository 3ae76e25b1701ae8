#pragma once
// The sale as the printer families receive it: the values of the header, of each item and of
// the branch record, read once before the coupon's first printer call. A family states which
// fields it reads, of which table and converted how, in the order its coupon issue uses them
// (SaleFields); the coupon issue reads that list, so a field that is missing or does not
// convert stops the coupon before anything is sent, and the families work with values only.
#include "common/money.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace ecf::printer {

enum class SaleTable { Header, Item, Branch }; // CFCABEC, CFITENS, Filial

// How a field is read: its text (bytes in the table's code page), an integer, money, a
// floating value (the two number readings give different digits); or a customer text: the
// text trimmed, or `whenEmpty` when nothing is left, as the header's field holds it once
// assigned (a text field keeps what fits).
enum class ReadAs { Text, Integer, Money, Float, CustomerText };

struct FieldRead {
    SaleTable table;
    const char* name;
    ReadAs as;
    const char* whenEmpty = ""; // ReadAs::CustomerText only
};

// What a family reads of a sale, in its coupon issue's order. For each item: `taxCode` (the
// tax code's fields), then the item total's fields (the coupon issue's own), then `item`;
// after the items, `closing` (the closing stage and the receipts). Header and branch fields
// may stand in the item lists: they are read again at every item, as the issue reads them.
struct SaleFields {
    std::vector<FieldRead> taxCode, item, closing;
};

// The values read of one record, by field name and reading (a few dozen at most: kept in the
// order read, and found by a walk).
class RecordValues {
public:
    using Value = std::variant<std::string, std::int64_t, common::Money, double>;

    const std::string& text(std::string_view name) const { return get<std::string>(name, ReadAs::Text); }
    std::int64_t integer(std::string_view name) const { return get<std::int64_t>(name, ReadAs::Integer); }
    common::Money money(std::string_view name) const { return get<common::Money>(name, ReadAs::Money); }
    double floating(std::string_view name) const { return get<double>(name, ReadAs::Float); }
    const std::string& customerText(std::string_view name) const
    {
        return get<std::string>(name, ReadAs::CustomerText);
    }

    // The value of `name` read as `as`, replacing one read before.
    void put(std::string_view name, ReadAs as, Value value);

    int codePage = 0; // the table's code page, for texts that go out wide

private:
    struct Entry {
        std::string name;
        ReadAs as;
        Value value;
    };
    // A value the family did not list is a fault of the family's list (std::logic_error).
    template <class T>
    const T& get(std::string_view name, ReadAs as) const;

    std::vector<Entry> values_;
};

// One item of the sale, with the header and the branch it is read with.
struct SaleItem {
    const RecordValues& header;
    const RecordValues& item;
    const RecordValues& branch;
};

struct SaleRecord {
    RecordValues header;
    std::vector<RecordValues> items; // in the walk's order
    RecordValues branch;

    SaleItem item(std::size_t i) const { return {header, items.at(i), branch}; }
};

} // namespace ecf::printer
