#include "printer/mp20/mp20_driver.h"

#include "common/convert.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/text.h"
#include "printer/mp20/mp20_lib.h"
#include "printer/tax_codes.h"
#include "printer/value_check.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace ecf::printer::mp20 {

namespace {

using common::Money;

constexpr const char* crlf = "\r\n";
const std::string esc = "\x1b";

// A table text as it may stand inside a command.
std::string field(const RecordValues& r, const char* name) { return commandField(r.text(name)); }

std::string dec(std::int64_t v) { return std::to_string(v); }

// The sale command of the current item (after the opening), its numbers through `check`.
std::string saleCommand(const SaleItem& item, const TaxCode& taxCode, FieldCheck& check)
{
    const RecordValues& it = item.item;
    std::string discount = "0000";
    const std::string kind = item.branch.text("TipoDescIt");
    if (kind == "P" || kind == "V") {
        // The percentage in hundredths, or the amount in cents.
        const Money d = it.money("Vlr_Descit");
        discount = check.digits({"Vlr_Descit", kind == "P" ? 4 : 8}, d.scaledTruncated(100), shownValue(d));
    }

    std::string command = esc + "|09|";
    const std::int64_t code = it.integer("Cod_Reduz");
    check.product(code);
    command += check.digits({"Cod_Reduz", 13}, code, dec(code));
    command += "|";
    command += common::fmtStr("%-26.26s", field(it, "Descr_Prod")) + " " + common::fmtStr("%-2.2s", field(it, "Unid_Pad"));
    command += "|" + commandField(taxCode.text);
    const Money q = it.money("Quantidade");
    command += "|" + check.digits({"Quantidade", 7}, q.scaledTruncated(1000), shownValue(q));
    const Money price = it.money("Preco_Unit");
    command += "|" + check.digits({"Preco_Unit", 8}, price.scaledTruncated(100), shownValue(price));
    command += "|" + discount;
    command += "|" + esc;
    return command;
}

// The coupon total in cents as the payment commands carry it.
std::string paymentAmount(const RecordValues& c, FieldCheck& check)
{
    const Money total = c.money("Vlr_Nota");
    return check.digits({"Vlr_Nota", 14}, total.centsTruncated(), shownValue(total));
}

// The closing message: seller, customer and the due-date line, cut to 492 characters.
std::string closingMessage(const RecordValues& c, std::int32_t fatModNf)
{
    std::string message;
    if (c.integer("Cod_Vend1") != 0)
        message += "Vendedor: " + field(c, "Cod_Vend1") + " - " + common::fmtStr("%-20.20s", field(c, "Nome_Vende")) + crlf;
    message += std::string("Destinatario:") + crlf;
    message += common::fmtInt("%6.6d", c.integer("Cod_Clifor")) + " " + field(c, "Cliente") + crlf;
    const std::string cnpj = field(c, "CNPJ"), ie = field(c, "InscrEst");
    if (!cnpj.empty() || !ie.empty())
        message += "CNPJ/CPF:" + cnpj + " IE:" + ie + crlf;
    const std::string endereco = field(c, "Endereco");
    if (!endereco.empty())
        message += endereco + " " + field(c, "Numero") + " " + field(c, "CEP") + crlf;
    const std::string bairro = field(c, "Bairro"), cidade = field(c, "Cidade"), estado = field(c, "Estado");
    if (!bairro.empty() || !cidade.empty() || !estado.empty())
        message += cidade + "/" + estado + " FONE:" + field(c, "Telefone") + crlf;
    if (fatModNf != 89)
        message += field(c, "LinhaVenc") + crlf;
    return common::left(message, 492);
}

// The register number; an item of Nivel1 "90" is looked up among the ISS registers.
const TaxSpelling taxSpelling{.substituted = {"FF"}, .exempt = {"II"}, .nonTaxed = {"NN"}, .blank = {"  "},
                               .servicesByLevel = true, .spell = TaxSpelling::registerNumber,
                               .notFound = "Percentual de Tributacao nao Encontrado"};

} // namespace

std::string commandField(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '|')
            c = ' ';
    }
    return out;
}


bool Mp20Driver::replyCheck()
{
    // Read after every command: opened once, and asked whether it exists only when it will
    // not open.
    const auto file = ctx_.workDir / "MP20FI.RET";
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::error_code ec;
        if (!std::filesystem::exists(file, ec))
            ctx_.op.message("Arquivo De Retorno Nao Foi Encontrado");
        throw common::FileError("File not found: " + file.string());
    }
    std::string line;
    char buf[512];
    for (bool more = true; more;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        const char* begin = buf;
        const char* end = buf + n;
        const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
        line.append(begin, stop);
        more = stop == end;
    }
    ::close(fd);
    replyText_ = std::move(line);
    return true;
}

void Mp20Driver::openPort(int)
{
    if (lib().IniPortaStr("COM" + ctx_.config.portaEcf) == 0)
        ctx_.op.message("Erro ao Inicializar Porta Da BEMATECH.");
}

bool Mp20Driver::start(int)
{
    const int r = lib().FormataTX(esc + "|26|" + esc);
    if (r != 0)
        ctx_.op.message("Erro: " + dec(r));
    replyCheck();
    const std::string& reply = replyText_;
    if (common::chars(reply, 2, 65).empty()) {
        ctx_.op.message("Tabela de aliquotas de icms da BEMATECH vazia");
        return false;
    }
    for (std::size_t k = 0; k < 16; ++k) {
        const std::string group = common::chars(reply, 3 + 4 * k, 6 + 4 * k);
        if (group != "    ")
            ctx_.taxTable.entry(static_cast<int>(k) + 1).rate = Money::fromDouble(common::strToInt(group) / 100.0);
    }
    // The host's payment forms follow (programsPaymentFormsAtStart).
    return true;
}

void Mp20Driver::close() {}

SaleFields Mp20Driver::saleFields() const
{
    using enum SaleTable;
    SaleFields f;
    f.taxCode = taxFields(taxSpelling);
    f.item = {{Item, "Num_Item", ReadAs::Integer},  {Branch, "TipoDescIt", ReadAs::Text},
              {Item, "Vlr_Descit", ReadAs::Money},  {Item, "Cod_Reduz", ReadAs::Integer},
              {Item, "Descr_Prod", ReadAs::Text},   {Item, "Unid_Pad", ReadAs::Text},
              {Item, "Quantidade", ReadAs::Money},  {Item, "Preco_Unit", ReadAs::Money}};
    const std::int32_t model = ctx_.config.fatModNf;
    f.closing.push_back({Header, "Vlr_Nota", ReadAs::Money});
    if (model != 136)
        f.closing.push_back({Header, "FormaPag", ReadAs::Text});
    // The closing message's, then the delivery receipt's.
    f.closing.insert(f.closing.end(), {{Header, "Cod_Vend1", ReadAs::Integer}, {Header, "Cod_Vend1", ReadAs::Text},
                                       {Header, "Nome_Vende", ReadAs::Text}, {Header, "Cod_Clifor", ReadAs::Integer}});
    for (const char* name : {"Cliente", "CNPJ", "InscrEst", "Endereco", "Numero", "CEP", "Bairro", "Cidade", "Estado",
                             "Telefone"})
        f.closing.push_back({Header, name, ReadAs::Text});
    if (model != 89)
        f.closing.push_back({Header, "LinhaVenc", ReadAs::Text});
    if (model != 89 && model != 50)
        f.closing.insert(f.closing.end(), {{Header, "Num_Nota", ReadAs::Integer}, {Branch, "Fil_Cidade", ReadAs::Text}});
    return f;
}

TaxCode Mp20Driver::resolveTaxCode(const SaleItem& item)
{
    return classifyTax(taxSpelling, item, ctx_.taxTable, ctx_.op);
}

bool Mp20Driver::registerItem(const SaleItem& item, const TaxCode& taxCode, Money)
{
    if (item.item.integer("Num_Item") == 1 && lib().FormataTX(esc + "|00|" + esc) != 0) {
        ctx_.op.message("Erro na Abertura da Impressora Fiscal ");
        return false;
    }
    FieldCheck sent;
    if (lib().FormataTX(saleCommand(item, taxCode, sent)) != 0) {
        ctx_.op.message("Erro ao tentar Imprimir o item.");
        return false;
    }
    return true;
}

void Mp20Driver::closeCoupon(const SaleRecord& sale)
{
    const RecordValues& c = sale.header;
    lib().FormataTX(esc + "|32|A|0000|" + esc);

    FieldCheck sent;
    const std::string a14 = paymentAmount(c, sent);
    if (ctx_.config.fatModNf == 136) {
        lib().FormataTX(esc + "|33|Dinheiro           |" + a14 + "| |" + esc);
    } else {
        replyText_ = "01";
        lib().FormataTX(esc + "|71|" + field(c, "FormaPag") + "|" + esc);
        replyCheck();
        const std::string index = common::left(replyText_, 2);
        if (!index.empty()) {
            lib().FormataTX(esc + "|72|" + index + "|" + a14 + "| |" + esc);
        } else {
            ctx_.op.message("Forma de Pagamento Nao Encontrada na BEMATECH ");
            lib().FormataTX(esc + "|72|01|" + a14 + "| |" + esc);
        }
    }
    closingResult_ = lib().FormataTX(esc + "|34|" + closingMessage(c, ctx_.config.fatModNf) + "|" + esc);
}

std::string Mp20Driver::checkCoupon(const SaleRecord& sale)
{
    FieldCheck check;
    return checkCouponValues(
        sale, check,
        [&](const SaleItem& item, common::OperatorPort& quiet) { classifyTax(taxSpelling, item, ctx_.taxTable, quiet); },
        [&](const SaleItem& item, Money) {
            check.numItem(item.item.integer("Num_Item"));
            saleCommand(item, TaxCode{}, check);
        },
        [&] { paymentAmount(sale.header, check); });
}

void Mp20Driver::receipts(const SaleRecord& sale)
{
    const std::int32_t model = ctx_.config.fatModNf;
    if (model == 89 || model == 50)
        return;
    if (ctx_.op.confirm("Emitir comprovante de entrega ?") != common::Answer::Yes)
        return;
    const RecordValues& c = sale.header;
    const int r1 = model != 136 ? lib().FormataTX(esc + "|66|" + field(c, "FormaPag") + "|" + esc) : closingResult_;
    if (r1 != 0)
        ctx_.op.message("Comando 1: " + dec(r1));

    const std::string receipt = "\nRECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NO\nCUPOM FISCAL Nro " +
                                common::fmtInt("%6.6d", c.integer("Num_Nota")) + ".\n" +
                                field(sale.branch, "Fil_Cidade") + " , ____ DE _________________ DE ______\n \n" +
                                "_______________________________________________\n" + field(c, "Cliente") + "\n";
    if (model == 136) {
        lib().FormataTX(esc + "|20|" + receipt + "|" + esc);
        lib().FormataTX(esc + "|21|" + esc);
        return;
    }
    const int r2 = lib().FormataTX(esc + "|67|" + receipt + "|" + esc);
    if (r2 != 0)
        ctx_.op.message("Comando 2: " + dec(r2));
    const int r3 = lib().FormataTX(esc + "|21|" + esc);
    if (r3 != 0)
        ctx_.op.message("Comando 3: " + dec(r3));
}

void Mp20Driver::xReading()
{
    if (lib().FormataTX(esc + "|06|" + esc) == 1)
        ctx_.op.message("Erro de comunicação física.");
}

void Mp20Driver::zReduction()
{
    const common::DateTime now = ctx_.clock.now();
    const std::string stamp = common::fmtInt("%2.2d", now.day) + common::fmtInt("%2.2d", now.month) +
                              common::fmtInt("%2.2d", now.year % 100) + common::fmtInt("%2.2d", now.hour) +
                              common::fmtInt("%2.2d", now.minute) + common::fmtInt("%2.2d", now.second);
    if (lib().FormataTX(esc + "|05|" + stamp + "|" + esc) == 1)
        ctx_.op.message("Erro de comunicação física.");
}

void Mp20Driver::cancelCoupon(CancelKind)
{
    if (lib().FormataTX(esc + "|14|" + esc) == 1)
        ctx_.op.message("Erro de comunicação física.");
}

void Mp20Driver::programPaymentForms(const std::vector<std::string>& descriptions)
{
    for (const std::string& d : descriptions)
        lib().FormataTX(esc + "|71|" + commandField(d) + "|" + esc);
}

void Mp20Driver::listPaymentForms(std::vector<std::string>& items)
{
    lib().FormataTX(esc + "|35|32|" + esc);
    replyCheck();
    std::string rest = common::chars(replyText_, 2, 1926);
    items.clear();
    for (int i = 0; i < 50 && rest.size() >= 16; ++i) {
        items.push_back(rest.substr(0, 16));
        rest.erase(0, 16);
    }
}

void Mp20Driver::fiscalMemory(const std::string&, const std::string&) {}

} // namespace ecf::printer::mp20
