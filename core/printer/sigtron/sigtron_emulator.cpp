#include "printer/sigtron/sigtron_emulator.h"

#include "common/text.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace ecf::printer::sigtron {

namespace {

std::string utf8(const std::u16string& w) { return common::toUtf8(common::narrow(w)); }

// Prints a text line by line; CR LF, LF CR, CR and LF each end one line.
void printText(EmulatedPrinter& p, const std::string& text)
{
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') {
            line.push_back(c);
            continue;
        }
        if (i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r') && text[i + 1] != c)
            ++i;
        p.print(line);
        line.clear();
    }
    if (!line.empty() || text.empty())
        p.print(line);
}

} // namespace

void SigtronEmulator::CmdFileName(const std::u16string& value) { cmdFileName_ = value; }
void SigtronEmulator::CommConfig(const std::u16string& value) { commConfig_ = value; }
void SigtronEmulator::LibName(const std::u16string& value) { libName_ = value; }
void SigtronEmulator::CmdName(const std::u16string& value) { cmdName_ = value; }

void SigtronEmulator::addItem(long long cents, const std::string& discountPercent)
{
    // The printer truncates, as it does the item's total.
    const long long discount = cents * EmulatedPrinter::digitsValue(discountPercent) / 10000;
    if (discount != 0)
        printer_.print("    desconto -" + EmulatedPrinter::centsAsDecimal(discount));
    printer_.couponCents += cents - discount;
}

bool SigtronEmulator::Open()
{
    printer_.portOpen = true;
    return true;
}

void SigtronEmulator::Close()
{
    printer_.portOpen = false;
}

int SigtronEmulator::SendText(const std::u16string& text)
{
    printText(printer_, utf8(text));
    return 0;
}

void SigtronEmulator::SetParameter(const std::u16string& name, const std::u16string& value)
{
    params_.emplace_back(name, value);
}

std::u16string SigtronEmulator::ReturnValue(const std::u16string& name)
{
    const auto it = results_.find(name);
    return it == results_.end() ? std::u16string() : it->second;
}

std::string SigtronEmulator::param(const char* name) const
{
    // The names are plain ASCII: compared as they are, without widening.
    const std::string_view wanted = name;
    const auto same = [&](const std::u16string& key) {
        return std::equal(key.begin(), key.end(), wanted.begin(), wanted.end(),
                          [](char16_t k, char c) { return k == static_cast<unsigned char>(c); });
    };
    for (auto it = params_.rbegin(); it != params_.rend(); ++it)
        if (same(it->first))
            return utf8(it->second);
    return {};
}

std::string SigtronEmulator::taxRatesValue() const
{
    // 16 slots of 5 characters: register letter, whole percent in two digits, hundredths in
    // two digits; an empty register reads "//". The FS300 value has one leading character.
    const bool fs300 = utf8(cmdFileName_).find("FS300") != std::string::npos;
    std::string value = fs300 ? "0" : "";
    for (std::size_t j = 0; j < 16; ++j) {
        const char letter = static_cast<char>('A' + j);
        const auto& reg = j < printer_.taxRegisters.size() ? printer_.taxRegisters[j] : EmulatedPrinter::TaxRegister{};
        if (reg.rate.isZero() || reg.service) {
            value += std::string(1, letter) + "//  ";
            continue;
        }
        const std::int64_t hundredths = reg.rate.tenThousandths() / 100;
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02lld%02lld", static_cast<long long>(hundredths / 100 % 100),
                      static_cast<long long>(hundredths % 100));
        value += std::string(1, letter) + buf;
    }
    return value;
}

int SigtronEmulator::Execute()
{
    run(utf8(libName_), utf8(cmdName_));
    params_.clear();
    return 0;
}

void SigtronEmulator::run(const std::string& lib, const std::string& cmd)
{
    results_.clear();
    auto result = [&](const char* name, const std::string& v) { results_[common::widen(name)] = common::widen(v); };

    if (lib == "Leitura") {
        if (cmd == "LeituraAliquotaFiscalCarregada")
            result("Valor", taxRatesValue());
        else if (cmd == "LeituraEstadoDocumento")
            result("NumeroCupom", std::to_string(printer_.couponNumber));
        return;
    }
    if (cmd == "AberturaCupomFiscal") {
        printer_.openCoupon();
    } else if (cmd == "DescricaoProdutoPreco3Decimais") {
        // Quantity in hundredths times the price in thousandths, truncated to cents.
        const long long cents = EmulatedPrinter::digitsValue(param("Quantidade")) * EmulatedPrinter::digitsValue(param("PrecoUnitario")) / 1000;
        printer_.print(param("Codigo") + " " + common::trimBlanks(param("Descricao")));
        printer_.print("    " + param("Quantidade") + " " + param("Unidade") + " x " + EmulatedPrinter::digitsAsDecimal(param("PrecoUnitario"), 3) + "  " +
                 param("SituacaoTributaria") + "  " + EmulatedPrinter::centsAsDecimal(cents));
        addItem(cents, param("PorcentagemDescAcres"));
    } else if (cmd == "DescricaoProdutoFormatoLivre") {
        printText(printer_, param("Mensagem"));
        printer_.print("    " + EmulatedPrinter::digitsAsDecimal(param("TotalItem")) + "  " + param("SituacaoTribitaria"));
        addItem(EmulatedPrinter::digitsValue(param("TotalItem")), param("PorcentagemDesconto"));
    } else if (cmd == "TotalizacaoCupomFiscal") {
        printer_.print("TOTAL  " + EmulatedPrinter::centsAsDecimal(printer_.couponCents));
    } else if (cmd == "DescricaoPagamento") {
        // A payment of zero pays the coupon's whole total.
        const long long paid = EmulatedPrinter::digitsValue(param("ValorPagamento"));
        printer_.print("PAGAMENTO " + param("FormaPagamento") + "  " + EmulatedPrinter::centsAsDecimal(paid != 0 ? paid : printer_.couponCents));
    } else if (cmd == "FechamentoCupomComMensagem" || cmd == "FechamentoCupomComDescontoGlobalPercentual") {
        printText(printer_, param("Mensagem"));
        printer_.closeCoupon();
    } else if (cmd == "AberturaCNFV") {
        printer_.print("COMPROVANTE NAO FISCAL VINCULADO - COO " + param("COOorigem") + "  VALOR " +
                 EmulatedPrinter::digitsAsDecimal(param("ValorVinculado")));
    } else if (cmd == "LinhaTexto") {
        printText(printer_, param("TextoLivre"));
    } else if (cmd == "FechamentoComprovante" || cmd == "FechamentoCupomSemICMS") {
        printer_.printBanner("FIM DO COMPROVANTE");
    } else if (cmd == "AberturaCuposSemICMS") {
        printer_.printBanner("COMPROVANTE NAO FISCAL");
    } else if (cmd == "EmissaoCupomAdicional") {
        printer_.print("CUPOM ADICIONAL " + std::to_string(printer_.couponNumber));
    } else if (cmd == "LeituraX") {
        printer_.nonFiscalReport("LEITURA X");
    } else if (cmd == "ReducaoZ") {
        printer_.nonFiscalReport("REDUCAO Z " + param("Dia") + "/" + param("Mes") + "/" + param("Ano") + " " +
                           param("Hora") + ":" + param("Minuto") + ":" + param("Segundo"));
    } else if (cmd == "CancelaDocumento" || cmd == "CancelamentoUltimoCupom") {
        printer_.cancelCoupon();
    }
}

} // namespace ecf::printer::sigtron
