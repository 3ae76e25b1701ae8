#pragma once
// Coupon tables described by their values (an item, a header, a branch record), for the Sweda,
// Daruma and BemaFI32 tests: written as Paradox tables in the rig's folder, opened as the coupon
// issue opens them, and a small item walk that resolves and registers every item as the coupon
// issue does.
#include "coupon/sale_reading.h"
#include "data/table.h"
#include "printer/value_check.h"
#include "printer_rig.h"
#include "support/tables.h"

#include <string>
#include <vector>

namespace ecf::test::sale_tables {

using ecf::test::jsonBytes;
using ecf::test::PrinterRig;

struct Item {
    int numItem = 1;
    int codReduz = 123;
    std::string descr = "CANETA AZUL";
    std::string unid = "UN";
    double quantidade = 1, precoUnit = 10, vlrDescit = 0;
    double bt = 10, bi = 0, bo = 0;
    std::string substTrib = "N";
    double baseIcms = 100, aliqCupom = 0, aliqIcms = 18;
    std::string nivel1 = "01";
};

struct Header {
    int numNota = 123;
    std::string icms = "T";
    std::string cgc = "12345678909";
    double vlrNota = 10;
    std::string cliente = "JOSE DA SILVA", cnpj = "12345678909", endereco = "RUA A", linhaVenc = "OBRIGADO";
    int tipoPagNum = 0;
    std::string formaPag = "Cheque";
    double vlrDinheiro = 0, vlrTicket = 0, vlrValeAberto = 0;
    int numValeTroco = 0;
};

struct Branch {
    std::string tipoDescIt = "V";
    double percIssqn = 5;
    std::string cidade = "CAMPINAS";
};

class CouponTables {
public:
    CouponTables(PrinterRig& rig, const Header& h, const std::vector<Item>& items, const Branch& b = {})
        : env_("VANTIS_DIR", rig.dir.path().string())
    {
        using namespace ecf::test::px_fields;
        using namespace ecf::test::px_values;
        const auto& dir = rig.dir.path();
        makeTable(dir, "CFCABEC.DB",
                  {longField("Num_Nota"), alpha("Icms", 1), alpha("CGC", 18), number("Vlr_Nota"), alpha("Cliente", 40),
                   alpha("CNPJ", 18), alpha("Endereco", 40), alpha("LinhaVenc", 60), longField("TipoPagNum"),
                   alpha("FormaPag", 20), number("VlrDinheiro"), number("VlrTicket"), number("VlrValeAberto"),
                   longField("NumValeTroco")},
                  {{lng(h.numNota), txt(h.icms), txt(h.cgc), num(h.vlrNota), txt(h.cliente), txt(h.cnpj),
                    txt(h.endereco), txt(h.linhaVenc), lng(h.tipoPagNum), txt(h.formaPag), num(h.vlrDinheiro),
                    num(h.vlrTicket), num(h.vlrValeAberto), lng(h.numValeTroco)}});
        std::vector<ecf::data::px::Record> rows;
        for (const auto& i : items)
            rows.push_back({lng(i.numItem), lng(i.codReduz), txt(i.descr), txt(i.unid), num(i.quantidade),
                            num(i.precoUnit), num(i.vlrDescit), num(i.bt), num(i.bi), num(i.bo), txt(i.substTrib),
                            num(i.baseIcms), num(i.aliqCupom), num(i.aliqIcms), txt(i.nivel1)});
        makeTable(dir, "CFITENS.DB",
                  {longField("Num_Item"), longField("Cod_Reduz"), alpha("Descr_Prod", 60), alpha("Unid_Pad", 6),
                   number("Quantidade"), number("Preco_Unit"), number("Vlr_Descit"), number("BT_ICMS"),
                   number("BI_ICMS"), number("BO_ICMS"), alpha("Subst_Trib", 1), number("BaseIcms"),
                   number("AliqCupom"), number("AliqIcms"), alpha("Nivel1", 2)},
                  rows);
        makeTable(dir, "Filial.DB", {alpha("TipoDescIt", 1), number("Perc_Issqn"), alpha("Fil_Cidade", 30)},
                  {{txt(b.tipoDescIt), num(b.percIssqn), txt(b.cidade)}});
        cabec.open();
        itens.open();
        filial.open();
    }

    // The tables read as the coupon issue reads them for the driver.
    printer::SaleRecord sale(const printer::FamilyDriver& d)
    {
        return coupon::readSale(d.saleFields(), cabec, itens, filial);
    }

    // Every item: its tax code, then its registration; false at the error stop.
    bool sellItems(printer::FamilyDriver& d, std::vector<std::string>* codes = nullptr)
    {
        const printer::SaleRecord s = sale(d);
        for (std::size_t i = 0; i < s.items.size(); ++i) {
            const printer::TaxCode tc = d.resolveTaxCode(s.item(i));
            if (codes)
                codes->push_back(tc.text);
            if (!d.registerItem(s.item(i), tc, printer::itemTotal(s.items[i])))
                return false;
        }
        return true;
    }

    void close(printer::FamilyDriver& d) { d.closeCoupon(sale(d)); }

private:
    ScopedEnv env_;

public:
    data::Table cabec{"CFCABEC.DB"}, itens{"CFITENS.DB"}, filial{"Filial.DB"};
};

// The tax table as the emulator loads it for the numeric families: 18, 12, 7, 25 and ISS 5.
inline void loadRates(printer::TaxTable& t, bool issFlag)
{
    const int rates[] = {18, 12, 7, 25, 5};
    for (int n = 1; n <= 5; ++n)
        t.entry(n).rate = common::Money::fromWhole(rates[n - 1]);
    if (issFlag)
        t.entry(5).serviceFlag = common::Money::fromWhole(1);
}

} // namespace ecf::test::sale_tables
