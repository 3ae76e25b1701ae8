#include "coupon/sale_reading.h"

#include "common/text.h"
#include "data/table.h"
#include "printer/value_check.h"

#include <stdexcept>

namespace ecf::coupon {

namespace {

using printer::FieldRead;
using printer::ReadAs;
using printer::RecordValues;
using printer::SaleTable;

RecordValues::Value read(data::Table& t, const FieldRead& f)
{
    data::Field field = t.fieldByName(f.name);
    switch (f.as) {
    case ReadAs::Text:
        return field.asString();
    case ReadAs::Integer:
        return std::int64_t{field.asInteger()};
    case ReadAs::Money:
        return field.asMoney();
    case ReadAs::Float:
        return field.asFloat();
    case ReadAs::CustomerText: {
        const std::string v = common::trim(field.asString());
        field.setString(v);
        if (v.empty())
            field.setString(f.whenEmpty);
        return field.asString();
    }
    }
    throw std::logic_error("unknown field reading");
}

// Restores the tables' standing however the reading ends.
class Standing {
public:
    Standing(data::Table& cabec, data::Table& itens) : cabec_(cabec), itens_(itens) {}
    ~Standing()
    {
        cabec_.cancel();
        itens_.first();
    }
    Standing(const Standing&) = delete;
    Standing& operator=(const Standing&) = delete;

private:
    data::Table& cabec_;
    data::Table& itens_;
};

} // namespace

printer::SaleRecord readSale(const printer::SaleFields& fields, data::Table& cabec, data::Table& itens,
                             data::Table& filial)
{
    printer::SaleRecord sale;
    sale.header.codePage = cabec.codePage();
    sale.branch.codePage = filial.codePage();
    const Standing standing(cabec, itens);
    auto readInto = [&](RecordValues* item, const std::vector<FieldRead>& list) {
        for (const FieldRead& f : list) {
            if (f.table == SaleTable::Header)
                sale.header.put(f.name, f.as, read(cabec, f));
            else if (f.table == SaleTable::Branch)
                sale.branch.put(f.name, f.as, read(filial, f));
            else if (item)
                item->put(f.name, f.as, read(itens, f));
            else
                throw std::logic_error(std::string("an item field among the closing's: ") + f.name);
        }
    };
    for (itens.first(); !itens.eof(); itens.next()) {
        RecordValues& item = sale.items.emplace_back();
        item.codePage = itens.codePage();
        readInto(&item, fields.taxCode);
        readInto(&item, printer::itemTotalFields);
        readInto(&item, fields.item);
    }
    if (!fields.closing.empty()) {
        cabec.edit();
        readInto(nullptr, fields.closing);
    }
    return sale;
}

} // namespace ecf::coupon
