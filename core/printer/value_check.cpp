#include "printer/value_check.h"

#include "common/format.h"
#include "data/table.h"

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

common::Money itemTotal(data::Table& itens)
{
    // Read in this order, so that a missing field is reported as the first one missing.
    common::Money total = itens.fieldByName("BT_ICMS").asMoney();
    total += itens.fieldByName("BI_ICMS").asMoney();
    total += itens.fieldByName("BO_ICMS").asMoney();
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

std::string checkCouponValues(CouponRecords& rec, FieldCheck& check,
                              const std::function<void(CouponRecords&, common::OperatorPort&)>& taxCode,
                              const std::function<void(common::Money)>& item, const std::function<void()>& closing)
{
    QuietOperator quiet;
    data::Table& itens = rec.itens;
    int position = 0;
    try {
        for (itens.first(); !itens.eof() && check.fits(); itens.next()) {
            check.item(++position);
            taxCode(rec, quiet);
            item(itemTotal(itens));
        }
    } catch (...) {
        itens.first(); // the error goes on as it is; the items stand where the issue expects them
        throw;
    }
    itens.first();
    if (!check.fits())
        return check.problem();
    check.closing();
    closing();
    return check.problem();
}

} // namespace ecf::printer
