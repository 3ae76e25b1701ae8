#pragma once
// The sale of the hand-off tables read once, as the family lists its fields
// (printer/sale_record.h), before anything is sent to the printer.
#include "printer/sale_record.h"

namespace ecf::data {
class Table;
}

namespace ecf::coupon {

// The items from the first, in the walk's order: at each, the family's tax-code fields, the
// item total's and the family's item fields; then the closing's fields (with the header in
// edit mode for the customer texts, which are assigned there and read back; the edit is then
// cancelled). A missing field or a value that does not convert throws as the table reports
// it, at the first one in that order. The items are left on their first record.
printer::SaleRecord readSale(const printer::SaleFields& fields, data::Table& cabec, data::Table& itens,
                             data::Table& filial);

} // namespace ecf::coupon
