#pragma once
// A host database for the shell's tests: the branch, billing configuration, access and
// payment-form tables, and the hand-off tables with one pending coupon, in a temp folder
// that VANTIS_DIR points at.
#include "support/tables.h"
#include "support/test_support.h"

#include <string>
#include <vector>

namespace ecf::test {

struct ShellDbOptions {
    px::Value fatModNf = px::Value::integerValue(1);
    std::string porta = "1";
    std::string modelo = "NOFAMILY";
    bool tef = false;
    bool filialEmpty = false;
    bool pendingCoupon = true;   // CFCABEC.DB holds the header
    bool itemTotals = true;      // CFITENS.DB has BT_ICMS, BI_ICMS, BO_ICMS
};

inline void makeShellDb(const std::filesystem::path& dir, const ShellDbOptions& o)
{
    using namespace px_fields;
    using namespace px_values;
    std::vector<px::FieldDef> filial{longField("Filial"), longField("FatModNf"), alpha("PortaEcf", 5),
                                     alpha("ModeloEcf", 10), longField("VelPortSer"), alpha("TipoDescIt", 1),
                                     currency("Perc_Issqn"), alpha("Fil_Cidade", 30)};
    if (o.fatModNf.kind == px::Value::Kind::Text)
        filial[1] = alpha("FatModNf", 10);
    std::vector<px::Record> filialRows;
    if (!o.filialEmpty)
        filialRows.push_back({lng(1), o.fatModNf, txt(o.porta), txt(o.modelo), lng(0), txt("V"), num(5), txt("Lapa")});
    makeTable(dir, "Filial.DB", filial, filialRows);
    makeTable(dir, "FATURCFG.DB", {logical("TEF")}, {{logi(o.tef)}});
    makeTable(dir, "Acesso.db", {longField("Codigo"), alpha("Conteudo", 20), alpha("Descricao", 30), alpha("Inf_Usuario", 1)},
              {{lng(1), txt(""), txt("Z"), txt("N")}});
    makeTable(dir, "Usuarios.db", {alpha("Codigo", 6), alpha("Senha", 8), alpha("Nivel", 2)});
    makeTable(dir, "FormaPtg.DB", {alpha("Descricao", 20)}, {{txt("Dinheiro")}});

    const std::vector<px::FieldDef> link{longField("Filial"), longField("Num_Nota"), alpha("Tipo_Nota", 2),
                                         longField("Cod_Clifor"), date("DT_ENTRADA")};
    std::vector<px::FieldDef> cabec = link;
    cabec.push_back(alpha("Icms", 1));
    cabec.push_back(currency("Vlr_Nota"));
    std::vector<px::Record> cabecRows;
    if (o.pendingCoupon)
        cabecRows.push_back({lng(1), lng(10), txt("CF"), lng(5), ymd(2024, 3, 1), txt("T"), num(30)});
    makeTable(dir, "CFCABEC.DB", cabec, cabecRows);

    std::vector<px::FieldDef> itens = link;
    itens.push_back(longField("Num_Item"));
    if (o.itemTotals)
        for (const char* f : {"BT_ICMS", "BI_ICMS", "BO_ICMS"})
            itens.push_back(currency(f));
    auto item = [&](std::int64_t nota, std::int64_t cli, px::Value day, std::int64_t n, double bt) {
        px::Record r{lng(1), lng(nota), txt("CF"), lng(cli), day, lng(n)};
        if (o.itemTotals)
            r.insert(r.end(), {num(bt), num(0), num(0)});
        return r;
    };
    // Items 1 and 2 belong to the coupon; the others differ in one link field each.
    makeTable(dir, "CFITENS.DB", itens,
              {item(10, 5, ymd(2024, 3, 1), 1, 10), item(11, 5, ymd(2024, 3, 1), 7, 1),
               item(10, 5, ymd(2024, 3, 1), 2, 20), item(10, 6, ymd(2024, 3, 1), 8, 1),
               item(10, 5, ymd(2024, 3, 2), 9, 1)});
}

} // namespace ecf::test
