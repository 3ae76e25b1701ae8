#include "commands.h"

#include "common/clock.h"
#include "common/convert.h"
#include "common/errors.h"
#include "data/paradox/px.h"
#include "printer/models.h"

#include <cctype>
#include <filesystem>
#include <ostream>

namespace ecf::cli {

namespace {

namespace px = data::px;
namespace fs = std::filesystem;

px::FieldDef alpha(const char* n, int len) { return {n, px::FieldType::Alpha, len, 0}; }
px::FieldDef longF(const char* n) { return {n, px::FieldType::Long, 4, 0}; }
px::FieldDef number(const char* n) { return {n, px::FieldType::Number, 8, 0}; }
px::FieldDef money(const char* n) { return {n, px::FieldType::Currency, 8, 0}; }
px::FieldDef logical(const char* n) { return {n, px::FieldType::Logical, 1, 0}; }
px::FieldDef date(const char* n) { return {n, px::FieldType::Date, 4, 0}; }

px::Value t(std::string bytes) { return px::Value::text(std::move(bytes)); }
px::Value i(std::int64_t v) { return px::Value::integerValue(v); }
px::Value f(double v) { return px::Value::floatValue(v); }

// A calendar date as the Paradox day count (1 January 0001 is day 1).
px::Value ymd(int year, int month, int day) { return px::Value::date(common::civilDays(year, month, day) + 1); }

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string modelCodeList()
{
    std::string list;
    for (const printer::Model* m : printer::allModels())
        list += (list.empty() ? "" : " ") + std::string(m->code);
    return list;
}

// A word for the shell as it stands, quoted when it holds anything but plain characters.
std::string shellWord(const std::string& s)
{
    const bool plain = !s.empty() && s.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                         "0123456789/._-+=:,@%") == std::string::npos;
    if (plain)
        return s;
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// How to call ecf-cli again: the program beside this one when there is one (a build folder is
// not on the PATH), otherwise by its name.
std::string cliCommand()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path beside = self.parent_path() / "ecf-cli";
        if (fs::is_regular_file(beside, ec) && beside.parent_path() != "/usr/bin")
            return shellWord(beside.string());
    }
    return "ecf-cli";
}

// The demo's tables; names as the host database spells them.
const char* const kTables[] = {"Filial.DB", "FATURCFG.DB", "Acesso.db", "Usuarios.db",
                               "FormaPtg.DB", "CFCABEC.DB", "CFITENS.DB"};

void make(const fs::path& dir, const char* name, const std::vector<px::FieldDef>& fields,
          const std::vector<px::Record>& rows)
{
    const fs::path file = dir / name;
    px::createTable(file, fields, 1252);
    for (const auto& r : rows)
        px::appendRecord(file, r);
}

// The link fields of the hand-off tables, then the rest.
std::vector<px::FieldDef> linkFields()
{
    return {longF("Filial"), longF("Num_Nota"), alpha("Tipo_Nota", 2), longF("Cod_Clifor"), date("DT_ENTRADA")};
}

} // namespace

std::string MakeDemoCommand::description() const
{
    return "make a demo database in DIR: a branch (default model BEMAFI32, port 1) and one pending coupon";
}

int MakeDemoCommand::run(const std::vector<std::string>& args, Streams& io)
{
    std::string dirArg;
    std::string model = "BEMAFI32";
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "--model") {
            if (k + 1 >= args.size())
                throw UsageError("--model needs a model code");
            model = args[++k];
        } else if (dirArg.empty() && !args[k].empty() && args[k][0] != '-') {
            dirArg = args[k];
        } else {
            throw UsageError("make-demo takes DIR and an optional --model CODE");
        }
    }
    if (dirArg.empty())
        throw UsageError("make-demo needs the folder DIR");
    if (model.size() > 10)
        throw UsageError("a model code has at most 10 characters");
    // Codes are compared as written: one that differs from a known code only by letter case
    // would make a database that prints nowhere, so it is refused; any other unknown code is
    // allowed (a branch may name a printer this program does not drive) with a warning.
    if (!printer::familyOf(model)) {
        for (const printer::Model* known : printer::allModels())
            if (upper(model) == upper(std::string(known->code)))
                throw UsageError("unknown model code " + model + "; the code is written " + std::string(known->code));
        io.err << "ecf-cli: warning: " << model << " is not a model code of any printer family; "
               << "the demo's coupon will print nowhere (codes: " << modelCodeList() << ")\n";
    }

    const fs::path dir(dirArg);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir)) {
        io.err << "ecf-cli: cannot make the folder " << dir.string() << '\n';
        return kExitError;
    }
    // Never overwrite a database: refuse when any of the tables is there, in any letter case.
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string have = upper(entry.path().filename().string());
        for (const char* name : kTables) {
            const std::string stem = upper(fs::path(name).stem().string());
            if (have == upper(name) || have == stem + ".PX" || have == stem + ".MB") {
                io.err << "ecf-cli: " << (dir / entry.path().filename()).string()
                       << " exists; make-demo writes only into a folder without the demo's tables. "
                          "Escolha uma pasta nova, por exemplo: ecf-cli make-demo \"$(mktemp -d)\"\n";
                return kExitError;
            }
        }
    }

    const common::DateTime now = common::Clock().now();
    const px::Value today = ymd(now.year, now.month, now.day);

    try {
        make(dir, "Filial.DB",
             {longF("Filial"), alpha("Fil_Nome", 30), alpha("Fil_Cidade", 30), alpha("PortaEcf", 5),
              alpha("ModeloEcf", 10), longF("FatModNf"), longF("VelPortSer"), alpha("TipoDescIt", 1),
              money("Perc_Issqn")},
             {{i(1), t("Loja Centro"), t("S\xE3o Paulo"), t("1"), t(model), i(1), i(0), t("V"), f(5.0)}});
        make(dir, "FATURCFG.DB", {logical("TEF")}, {{px::Value::logicalValue(false)}});
        // Operation 1 (the Z reduction) asks for its password and for the user.
        make(dir, "Acesso.db",
             {longF("Codigo"), alpha("Conteudo", 20), alpha("Descricao", 30), alpha("Inf_Usuario", 1)},
             {{i(1), t("segredo"), t("Redu\xE7\xE3o Z"), t("S")}});
        make(dir, "Usuarios.db", {alpha("Codigo", 6), alpha("Nome", 30), alpha("Senha", 8), alpha("Nivel", 2)},
             {{t("1"), t("Operador"), t("senha1"), t("1")}});
        make(dir, "FormaPtg.DB", {alpha("Descricao", 20)}, {{t("Dinheiro")}, {t("Cheque")}, {t("Cartao")}});

        std::vector<px::FieldDef> cabec = linkFields();
        for (const auto& d : std::vector<px::FieldDef>{
                 alpha("Icms", 1), alpha("CGC", 18), money("Vlr_Nota"), alpha("Cliente", 40), alpha("CNPJ", 18),
                 alpha("InscrEst", 18), alpha("Endereco", 40), alpha("Numero", 6), alpha("Bairro", 30),
                 alpha("CEP", 9), alpha("Telefone", 15), alpha("Cidade", 30), alpha("Estado", 2),
                 alpha("LinhaVenc", 60), longF("Cod_Vend1"), alpha("Nome_Vende", 30), alpha("Observ", 60),
                 alpha("TipoPagAlf", 1), longF("TipoPagNum"), alpha("FormaPag", 20), money("VlrDinheiro"),
                 money("VlrTicket"), money("VlrValeAberto"), longF("NumValeTroco")})
            cabec.push_back(d);
        // Items 17,00 + 12,60 (less 0,50) + 33,00 + 9,00 = 71,10.
        make(dir, "CFCABEC.DB", cabec,
             {{i(1), i(1001), t("CF"), i(25), today, t("T"), t("123.456.789-09"), f(71.10),
               t("Jos\xE9 da Concei\xE7\xE3o"), t("123.456.789-09"), t("ISENTO"), t("Rua das Ac\xE1\x63ias"),
               t("120"), t("Centro"), t("01001-000"), t("(11) 5555-0100"), t("S\xE3o Paulo"), t("SP"),
               t("Pagamento \xE0 vista"), i(7), t("Maria"), t("Entregar no per\xED" "odo da manh\xE3"), t("A"), i(0),
               t("Dinheiro"), f(71.10), f(0), f(0), i(0)}});

        std::vector<px::FieldDef> itens = linkFields();
        for (const auto& d : std::vector<px::FieldDef>{
                 longF("Num_Item"), longF("Cod_Reduz"), alpha("Descr_Prod", 40), alpha("Unid_Pad", 3),
                 number("Quantidade"), number("Preco_Unit"), number("Vlr_Descit"), money("BT_ICMS"),
                 money("BI_ICMS"), money("BO_ICMS"), alpha("Subst_Trib", 1), number("BaseIcms"),
                 number("AliqCupom"), money("AliqIcms"), alpha("Nivel1", 2)})
            itens.push_back(d);
        auto item = [&](int n, int code, const char* descr, const char* unit, double qty, double price,
                        double disc, double bt, double bo, const char* st, double aliq) {
            return px::Record{i(1), i(1001), t("CF"), i(25), today, i(n), i(code), t(descr), t(unit),
                              f(qty), f(price), f(disc), f(bt), f(0), f(bo), t(st), f(100), f(0), f(aliq),
                              t("10")};
        };
        make(dir, "CFITENS.DB", itens,
             {item(1, 1501, "Caf\xE9 torrado e mo\xED" "do 500g", "PC", 2, 8.50, 0, 17.00, 0, "N", 18),
              item(2, 2210, "A\xE7\xFA\x63\x61r cristal 1kg", "PC", 3, 4.20, 0.50, 12.60, 0, "N", 7),
              item(3, 3307, "P\xE3o de queijo congelado", "KG", 1.5, 22.00, 0, 33.00, 0, "N", 12),
              item(4, 4102, "\xC1gua mineral 500ml", "UN", 6, 1.50, 0, 0, 9.00, "S", 18)});
    } catch (const std::exception& e) {
        io.err << "ecf-cli: " << e.what() << '\n';
        return kExitError;
    }

    io.out << "demo database made in " << dir.string() << " (model " << model << ", port 1, one pending coupon)\n"
           << "run: cd " << shellWord(fs::absolute(dir).lexically_normal().string()) << " && VANTIS_DIR=\"$PWD\" "
           << cliCommand() << " print --show-paper\n";
    return kExitOk;
}

int ShowModelCommand::run(const std::vector<std::string>& args, Streams& io)
{
    if (args.size() != 1)
        throw UsageError("show-model takes the folder DIR");
    try {
        const fs::path dir(args[0]);
        fs::path file;
        if (fs::is_directory(dir))
            for (const auto& entry : fs::directory_iterator(dir))
                if (upper(entry.path().filename().string()) == "FILIAL.DB")
                    file = entry.path();
        if (file.empty()) {
            io.err << "ecf-cli: no Filial.DB in " << dir.string() << '\n';
            return kExitError;
        }
        const px::PxTable table = px::PxTable::read(file);
        const auto idx = table.fieldIndex("ModeloEcf");
        if (!idx || table.records().empty()) {
            io.err << "ecf-cli: " << file.string() << " holds no branch record with ModeloEcf\n";
            return kExitError;
        }
        io.out << table.records().front().at(*idx).bytes << '\n';
    } catch (const std::exception& e) {
        io.err << "ecf-cli: " << e.what() << '\n';
        return kExitError;
    }
    return kExitOk;
}

} // namespace ecf::cli
