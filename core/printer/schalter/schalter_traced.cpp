#include "printer/schalter/schalter_traced.h"

namespace ecf::printer::schalter {

namespace {

constexpr const char* family = "schalter";

CallArg text(const std::string& s) { return CallArg{s}; }
CallArg num(int v) { return CallArg{static_cast<std::int64_t>(v)}; }

} // namespace

template <class Call>
int SchalterTraced::intCall(const char* fn, std::vector<CallArg> args, int success, Call&& call)
{
    return pipe_.callInteger(family, fn, std::move(args), success, std::forward<Call>(call));
}

template <class Call>
std::string SchalterTraced::textCall(const char* fn, std::vector<CallArg> args, Call&& call)
{
    return pipe_.call(
        CallRecord{family, fn, std::move(args), {}, {}},
        [](const CannedEntry& e) { return e.retBytes(std::string()); }, std::forward<Call>(call),
        [](CallRecord& rec, std::string& result) {
            // The library returns a zero-terminated text: nothing after a NUL reaches the program.
            if (const auto nul = result.find('\0'); nul != std::string::npos)
                result.resize(nul);
            rec.ret = result;
        });
}

int SchalterTraced::ChangePort(int port)
{
    return intCall("ChangePort", {num(port)}, port, [&] { return inner_.ChangePort(port); });
}

std::string SchalterTraced::ecfLeituraXSerial()
{
    return textCall("ecfLeituraXSerial", {}, [&] { return inner_.ecfLeituraXSerial(); });
}

std::string SchalterTraced::ecfStatusAliquotas(int reg)
{
    return textCall("ecfStatusAliquotas", {num(reg)}, [&] { return inner_.ecfStatusAliquotas(reg); });
}

int SchalterTraced::ecfImpCab(int n)
{
    return intCall("ecfImpCab", {num(n)}, 0, [&] { return inner_.ecfImpCab(n); });
}

int SchalterTraced::ecfVendaItem(const std::string& description, const std::string& total, int taxIndex)
{
    return intCall("ecfVendaItem", {text(description), text(total), num(taxIndex)}, 0,
                   [&] { return inner_.ecfVendaItem(description, total, taxIndex); });
}

int SchalterTraced::ecfVenda_Item(const std::string& code, const std::string& description, const std::string& qtyInt,
                                  const std::string& qtyFrac, const std::string& price, int taxIndex)
{
    return intCall("ecfVenda_Item",
                   {text(code), text(description), text(qtyInt), text(qtyFrac), text(price), num(taxIndex)}, 0,
                   [&] { return inner_.ecfVenda_Item(code, description, qtyInt, qtyFrac, price, taxIndex); });
}

int SchalterTraced::ecfDescItem(int kind, const std::string& label, const std::string& value)
{
    return intCall("ecfDescItem", {num(kind), text(label), text(value)}, 0,
                   [&] { return inner_.ecfDescItem(kind, label, value); });
}

int SchalterTraced::ecfPagCancPag(int a, const std::string& label, const std::string& value, int b, int c)
{
    return intCall("ecfPagCancPag", {num(a), text(label), text(value), num(b), num(c)}, 0,
                   [&] { return inner_.ecfPagCancPag(a, label, value, b, c); });
}

int SchalterTraced::ecfImpLinha(const std::string& line)
{
    return intCall("ecfImpLinha", {text(line)}, 0, [&] { return inner_.ecfImpLinha(line); });
}

int SchalterTraced::ecfFimTrans(const std::string& t)
{
    return intCall("ecfFimTrans", {text(t)}, 0, [&] { return inner_.ecfFimTrans(t); });
}

int SchalterTraced::ecfInicCupomNFiscal(int n)
{
    return intCall("ecfInicCupomNFiscal", {num(n)}, 0, [&] { return inner_.ecfInicCupomNFiscal(n); });
}

int SchalterTraced::ecfLineFeed(int a, int lines)
{
    return intCall("ecfLineFeed", {num(a), num(lines)}, 0, [&] { return inner_.ecfLineFeed(a, lines); });
}

int SchalterTraced::ecfLeituraX(const std::string& t)
{
    return intCall("ecfLeituraX", {text(t)}, 0, [&] { return inner_.ecfLeituraX(t); });
}

int SchalterTraced::ecfReducaoZ(const std::string& t)
{
    return intCall("ecfReducaoZ", {text(t)}, 0, [&] { return inner_.ecfReducaoZ(t); });
}

int SchalterTraced::ecfCancDoc(const std::string& t)
{
    return intCall("ecfCancDoc", {text(t)}, 0, [&] { return inner_.ecfCancDoc(t); });
}

int SchalterTraced::ecfCancVenda(const std::string& t)
{
    return intCall("ecfCancVenda", {text(t)}, 0, [&] { return inner_.ecfCancVenda(t); });
}

} // namespace ecf::printer::schalter
