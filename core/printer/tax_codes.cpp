#include "printer/tax_codes.h"

#include "common/errors.h"
#include "common/format.h"

#include <cmath>
#include <optional>

namespace ecf::printer {

namespace {

using Unit = TaxSpelling::RateUnit;

// A rate field in the spelling's unit: floating percent as stored, or hundredths of a percent
// from the money reading.
double aliqCupom(const TaxSpelling& s, const RecordValues& item)
{
    if (s.unit == Unit::Hundredths)
        return static_cast<double>(item.money("AliqCupom").tenThousandths()) / 100.0;
    return item.floating("AliqCupom");
}

bool aliqCupomIs99(const TaxSpelling& s, const RecordValues& item)
{
    if (s.unit == Unit::Hundredths)
        return item.money("AliqCupom") == common::Money::fromWhole(99);
    return item.floating("AliqCupom") == 99;
}

double aliqIcms(const TaxSpelling& s, const RecordValues& item)
{
    const common::Money m = item.money("AliqIcms");
    return s.unit == Unit::Hundredths ? static_cast<double>(m.tenThousandths()) / 100.0 : m.toDouble();
}

std::int64_t wholePart(long double v)
{
    if (!std::isfinite(v) || v >= 9.2e18L || v <= -9.2e18L)
        throw common::ConversionError("Invalid floating point operation");
    return static_cast<std::int64_t>(std::truncl(v));
}

} // namespace

std::string TaxSpelling::registerNumber(int n, const TaxEntry&) { return common::fmtInt("%2.2d", n); }

std::vector<FieldRead> taxFields(const TaxSpelling& s)
{
    std::vector<FieldRead> f;
    if (s.servicesByLevel)
        f.push_back({SaleTable::Item, "Nivel1", ReadAs::Text});
    const FieldRead icms{SaleTable::Header, "Icms", ReadAs::Text}, subst{SaleTable::Item, "Subst_Trib", ReadAs::Text};
    f.push_back(s.icmsBeforeSubstitution ? icms : subst);
    f.push_back(s.icmsBeforeSubstitution ? subst : icms);
    f.push_back({SaleTable::Item, "BaseIcms", ReadAs::Float});
    f.push_back({SaleTable::Item, "AliqCupom", s.unit == Unit::Hundredths ? ReadAs::Money : ReadAs::Float});
    f.push_back({SaleTable::Item, "AliqIcms", ReadAs::Money});
    if (s.servicesByLevel)
        f.push_back({SaleTable::Branch, "Perc_Issqn", ReadAs::Money});
    return f;
}

TaxCode classifyTax(const TaxSpelling& s, const SaleItem& item, const TaxTable& table, common::OperatorPort& op)
{
    const RecordValues& it = item.item;
    const bool service = s.servicesByLevel && it.text("Nivel1") == "90";
    std::optional<TaxCode> code;
    double rate = 0;
    if (!service) {
        auto taxed = [&] {
            const double base = it.floating("BaseIcms");
            if (base == 0)
                code = s.exempt;
            if (base > 0 && base < 100)
                rate = aliqCupom(s, it);
            if (s.nonTaxedAt99 && aliqCupomIs99(s, it))
                code = s.nonTaxed;
        };
        if (s.icmsBeforeSubstitution) {
            if (item.header.text("Icms") != "T")
                code = s.nonTaxed;
            else if (it.text("Subst_Trib") == "S")
                code = s.substituted;
            else
                taxed();
        } else {
            if (it.text("Subst_Trib") == "S")
                code = s.substituted;
            else if (item.header.text("Icms") == "T")
                taxed();
            else
                code = s.nonTaxed;
        }
    }
    if (code)
        return *code;

    if (service)
        rate = item.branch.money("Perc_Issqn").toDouble();
    else if (rate == 0)
        rate = aliqIcms(s, it);
    const std::string wanted =
        s.match == TaxSpelling::Match::RateText ? common::fmtInt("%" + std::to_string(s.rateTextDigits) + "." +
                                                                     std::to_string(s.rateTextDigits) + "d",
                                                                 wholePart(rate))
                                                : std::string();
    TaxCode result = s.blank;
    bool found = false;
    for (int n = 1; n <= s.registers; ++n) {
        const TaxEntry& e = table.entry(n);
        if (service && e.serviceFlag.isZero())
            continue;
        if (!service && s.icmsSkipsServiceRegisters && e.serviceFlag == common::Money::fromWhole(1))
            continue;
        const bool matches = s.match == TaxSpelling::Match::RateText ? e.rateText == wanted : sameRate(rate, e.rate);
        if (!matches)
            continue;
        found = true;
        if (s.byIndex)
            result.index = n - 1;
        else
            result.text = s.spell(n, e);
        if (s.firstMatch)
            break;
    }
    if (!found || (!s.byIndex && result.text == s.blank.text))
        op.message(s.notFound);
    return result;
}

} // namespace ecf::printer
