#include "printer/tax_codes.h"

#include "common/errors.h"
#include "common/format.h"
#include "data/table.h"

#include <cmath>
#include <optional>

namespace ecf::printer {

namespace {

using Unit = TaxSpelling::RateUnit;

std::string text(data::Table& t, const char* field) { return t.fieldByName(field).asString(); }

// A rate field in the spelling's unit: floating percent as stored, or hundredths of a percent
// from the money reading.
double aliqCupom(const TaxSpelling& s, CouponRecords& rec)
{
    if (s.unit == Unit::Hundredths)
        return static_cast<double>(rec.itens.fieldByName("AliqCupom").asMoney().tenThousandths()) / 100.0;
    return rec.itens.fieldByName("AliqCupom").asFloat();
}

bool aliqCupomIs99(const TaxSpelling& s, CouponRecords& rec)
{
    if (s.unit == Unit::Hundredths)
        return rec.itens.fieldByName("AliqCupom").asMoney() == common::Money::fromWhole(99);
    return rec.itens.fieldByName("AliqCupom").asFloat() == 99;
}

double aliqIcms(const TaxSpelling& s, CouponRecords& rec)
{
    const common::Money m = rec.itens.fieldByName("AliqIcms").asMoney();
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

TaxCode classifyTax(const TaxSpelling& s, CouponRecords& rec, const TaxTable& table, common::OperatorPort& op)
{
    const bool service = s.servicesByLevel && text(rec.itens, "Nivel1") == "90";
    std::optional<TaxCode> code;
    double rate = 0;
    if (!service) {
        auto taxed = [&] {
            const double base = rec.itens.fieldByName("BaseIcms").asFloat();
            if (base == 0)
                code = s.exempt;
            if (base > 0 && base < 100)
                rate = aliqCupom(s, rec);
            if (s.nonTaxedAt99 && aliqCupomIs99(s, rec))
                code = s.nonTaxed;
        };
        if (s.icmsBeforeSubstitution) {
            if (text(rec.cabec, "Icms") != "T")
                code = s.nonTaxed;
            else if (text(rec.itens, "Subst_Trib") == "S")
                code = s.substituted;
            else
                taxed();
        } else {
            if (text(rec.itens, "Subst_Trib") == "S")
                code = s.substituted;
            else if (text(rec.cabec, "Icms") == "T")
                taxed();
            else
                code = s.nonTaxed;
        }
    }
    if (code)
        return *code;

    if (service)
        rate = rec.filial.fieldByName("Perc_Issqn").asMoney().toDouble();
    else if (rate == 0)
        rate = aliqIcms(s, rec);
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
