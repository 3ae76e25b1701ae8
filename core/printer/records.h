#pragma once
// What a coupon issue hands to the printer family besides the sale (sale_record.h): the tax
// code of an item, and which coupon a cancel means.
#include <string>

namespace ecf::printer {

// An item's tax code: a text for five families, a tax index for the Schalter family.
struct TaxCode {
    std::string text;
    int index = 0;
};

enum class CancelKind { LastCoupon, OpenCoupon }; // "Cancela Último Cupom", "Fecha Cupom Aberto"

} // namespace ecf::printer
