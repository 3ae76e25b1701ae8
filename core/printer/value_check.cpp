#include "printer/value_check.h"

#include "common/format.h"

#include <cstdio>

namespace ecf::printer {

namespace {

// Shows nothing and answers nothing: the tax-code lookup's not-found box belongs to the print.
class QuietOperator : public common::OperatorPort {
public:
    void message(const std::string&) override {}
    void info(const std::string&) override {}
    void error(const std::string&) override {}
    void exception(const std::string&) override {}
    common::Answer confirm(const std::string&) override { return common::Answer::Close; }
    common::PasswordEntry password(const std::string&, bool) override { return {}; }
    void mainShown(const common::MainWindowState&) override {}
    void listShown(const std::vector<std::string>&) override {}
    void showWindow(common::Window) override {}
    void closeWindow(common::Window) override {}
};

// "12.3400" as "12,34"; "-5.0000" as "-5".
std::string decimalComma(std::string s)
{
    const auto dot = s.find('.');
    if (dot == std::string::npos)
        return s;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    else
        s[dot] = ',';
    return s;
}

} // namespace

const std::vector<FieldRead> itemTotalFields{{SaleTable::Item, "BT_ICMS", ReadAs::Money},
                                             {SaleTable::Item, "BI_ICMS", ReadAs::Money},
                                             {SaleTable::Item, "BO_ICMS", ReadAs::Money}};

common::Money itemTotal(const RecordValues& item)
{
    common::Money total;
    for (const FieldRead& f : itemTotalFields)
        total += item.money(f.name);
    return total;
}

std::string shownValue(common::Money v) { return decimalComma(v.toString()); }

std::string shownValue(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return decimalComma(buf);
}

void FieldCheck::item(int position)
{
    if (!fits())
        return;
    position_ = position;
    numItem_.reset();
    product_.reset();
}

void FieldCheck::closing()
{
    if (!fits())
        return;
    position_ = 0;
    numItem_.reset();
    product_.reset();
}

std::string FieldCheck::digits(const NumberField& f, std::int64_t value, const std::string& shown)
{
    std::string text = common::fmtInt("%" + std::to_string(f.width) + "." + std::to_string(f.width) + "d", value);
    note(f, text, value < 0, shown, "dígitos");
    return text;
}

std::string FieldCheck::decimal(const NumberField& f, std::int64_t value, const std::string& shown)
{
    std::string text = std::to_string(value);
    note(f, text, value < 0, shown, "dígitos");
    return text;
}

std::string FieldCheck::formatted(const NumberField& f, std::string text, const std::string& shown)
{
    note(f, text, text.find('-') != std::string::npos, shown, "caracteres");
    return text;
}

void FieldCheck::note(const NumberField& f, const std::string& text, bool negative, const std::string& shown,
                      const char* unit)
{
    if (!fits())
        return;
    if (negative)
        misfit_ = std::string(f.name) + " " + shown + ": o campo não aceita valor negativo";
    else if (f.width > 0 && text.size() > static_cast<std::size_t>(f.width))
        misfit_ = std::string(f.name) + " " + shown + " não cabe nos " + std::to_string(f.width) + " " + unit +
                   " do campo";
}

std::string FieldCheck::problem() const { return fits() ? std::string() : where() + ": " + misfit_; }

std::string FieldCheck::where() const
{
    if (position_ == 0)
        return "Fechamento do cupom";
    std::string w = numItem_ ? "Item " + std::to_string(*numItem_) : "Item na posição " + std::to_string(position_);
    if (product_)
        w += " (produto " + std::to_string(*product_) + ")";
    return w;
}

std::string checkCouponValues(const SaleRecord& sale, FieldCheck& check,
                              const std::function<void(const SaleItem&, common::OperatorPort&)>& taxCode,
                              const std::function<void(const SaleItem&, common::Money)>& item,
                              const std::function<void()>& closing)
{
    QuietOperator quiet;
    for (std::size_t i = 0; i < sale.items.size() && check.fits(); ++i) {
        check.item(static_cast<int>(i) + 1);
        const SaleItem it = sale.item(i);
        taxCode(it, quiet);
        item(it, itemTotal(it.item));
    }
    if (!check.fits())
        return check.problem();
    check.closing();
    closing();
    return check.problem();
}

} // namespace ecf::printer
