#pragma once
// The numbers a coupon will send, checked before its first printer call. Every number a family
// writes into a command or an argument goes through one FieldCheck, which gives the very text
// that is sent and notes the first value that does not fit its field (too many digits for the
// field's width, or a minus sign where the field takes none). The print and the check build
// their commands with the same code, so what is checked is what is sent.
#include "common/money.h"
#include "common/operator_port.h"
#include "printer/records.h"
#include "printer/sale_record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ecf::printer {

// The item total: BT_ICMS + BI_ICMS + BO_ICMS of the item, summed as money; its fields in
// the order they are read.
common::Money itemTotal(const RecordValues& item);
extern const std::vector<FieldRead> itemTotalFields;

// A number field of a command or argument, as the operator will find it named in a box.
struct NumberField {
    const char* name;       // the table field ("Quantidade"), or what the number is
    int width = 0;          // characters the field takes; 0: no fixed width
};

// A value as the operator knows it from the table: "12345", "1,5", "-5".
std::string shownValue(common::Money v);
std::string shownValue(double v);

class FieldCheck {
public:
    // The values that follow belong to the item at this position of the walk (from 1) ...
    // (after a misfit, where the values stand no longer changes)
    void item(int position);
    // ... whose Num_Item and product code (Cod_Reduz) were read; the box names them.
    void numItem(std::int64_t n) { numItem_ = n; }
    void product(std::int64_t code) { product_ = code; }
    // ... or to the closing of the coupon (totals and payment).
    void closing();

    // "%W.Wd" of value (at least W digits, leading zeros; f.width > 0): the text sent.
    std::string digits(const NumberField& f, std::int64_t value, const std::string& shown);
    // value in plain decimal digits, no padding (a field of no fixed width).
    std::string decimal(const NumberField& f, std::int64_t value, const std::string& shown);
    // A number already formatted (e.g. "%14.2f"): its length against the width, and its sign.
    std::string formatted(const NumberField& f, std::string text, const std::string& shown);

    bool fits() const { return misfit_.empty(); }
    // The first misfit, in one line for the operator; empty when every value fitted. The item
    // is named by what was read of it up to now (Num_Item may be read after its values).
    std::string problem() const;

private:
    void note(const NumberField& f, const std::string& text, bool negative, const std::string& shown,
              const char* unit);
    std::string where() const;

    int position_ = 0;  // 0: the closing
    std::optional<std::int64_t> numItem_, product_;
    std::string misfit_; // the field, its value and why, of the first misfit
};

// The walk of a coupon check, in the coupon issue's order: for each item, the tax code
// (quiet is an operator port that shows nothing), then the item total and the family's item
// values (item); then the closing's values (closing). Stops after the first item with a
// misfit. Sends nothing, shows nothing. Returns the check's problem ("" when every value fits).
std::string checkCouponValues(const SaleRecord& sale, FieldCheck& check,
                              const std::function<void(const SaleItem&, common::OperatorPort& quiet)>& taxCode,
                              const std::function<void(const SaleItem&, common::Money itemTotal)>& item,
                              const std::function<void()>& closing);

} // namespace ecf::printer
