#pragma once
// The records a coupon issue hands to the printer family: the tax code of an item, the
// records it reads, and which coupon a cancel means.
#include <string>

namespace ecf::data {
class Table;
}

namespace ecf::printer {

// An item's tax code: a text for five families, a tax index for the Schalter family.
struct TaxCode {
    std::string text;
    int index = 0;
};

// The records the coupon issue reads: the header (in edit mode from the closing stage on),
// the current item, the branch record.
struct CouponRecords {
    data::Table& cabec;
    data::Table& itens;
    data::Table& filial;
};

enum class CancelKind { LastCoupon, OpenCoupon }; // "Cancela Último Cupom", "Fecha Cupom Aberto"

} // namespace ecf::printer
