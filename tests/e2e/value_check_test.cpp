// The check of a coupon's numbers before its first printer call, on the demo coupon of every
// model code: the demo passes; a value too wide for its field, or negative where the field
// takes no sign, is named with its item and field, and nothing reaches the printer or the
// operator. A field the family reads missing stops the print the same way.
#include "cli_fixture.h"
#include "common/clock.h"
#include "common/errors.h"
#include "common/startup_config.h"
#include "common/trace.h"
#include "coupon/sale_reading.h"
#include "data/table.h"
#include "printer/printer.h"
#include "support/scripted_operator.h"

#include <gtest/gtest.h>

#include <memory>

namespace ecf::test {
namespace {

namespace px = data::px;

class ValueCheckTest : public CliTest {
protected:
    // Record `record` (from 0) of a demo table gets `value` in `field`.
    void set(const char* table, std::size_t record, const char* field, px::Value value)
    {
        const fs::path file = db() / table;
        const px::PxTable t = px::PxTable::read(file);
        std::vector<px::Record> rows = t.records();
        rows.at(record).at(*t.fieldIndex(field)) = std::move(value);
        fs::remove(file);
        px::createTable(file, t.fields(), t.info().codePage);
        for (const auto& r : rows)
            px::appendRecord(file, r);
    }

    // A demo table without `field`.
    void drop(const char* table, const char* field)
    {
        const fs::path file = db() / table;
        const px::PxTable t = px::PxTable::read(file);
        const std::size_t at = *t.fieldIndex(field);
        std::vector<px::FieldDef> fields = t.fields();
        fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(at));
        std::vector<px::Record> rows = t.records();
        fs::remove(file);
        px::createTable(file, fields, t.info().codePage);
        for (auto& r : rows) {
            r.erase(r.begin() + static_cast<std::ptrdiff_t>(at));
            px::appendRecord(file, r);
        }
    }

    // The check of the demo coupon on `model`, with the items' cursor left elsewhere before.
    std::string check(const std::string& model)
    {
        ScopedEnv env("VANTIS_DIR", db().string());
        common::StartupConfig config;
        config.modeloEcf = model;
        config.portaEcf = "1";
        config.fatModNf = 1;
        ScriptedOperator op;
        common::Clock clock;
        printer::Printer::Options options;
        options.trace = std::make_shared<common::Trace>(trace().string());
        printer::Printer printer(config, op, clock, options);
        data::Table cabec("CFCABEC.DB"), itens("CFITENS.DB"), filial("Filial.DB");
        cabec.open();
        itens.open();
        filial.open();
        itens.next();
        const printer::SaleRecord sale = coupon::readSale(printer.driver().saleFields(), cabec, itens, filial);
        const std::string text = printer.driver().checkCoupon(sale);
        EXPECT_TRUE(op.events.empty()) << op.events.front().text;
        EXPECT_TRUE(readCalls(trace()).empty());
        EXPECT_EQ(itens.fieldByName("Num_Item").asInteger(), 1);
        EXPECT_EQ(cabec.state(), data::Table::State::Browse);
        return text;
    }
};

struct Misfit {
    const char* table;
    std::size_t record;
    const char* field;
    double value;
    const char* text; // "": no field of the family can hold a value too wide
};

struct Case {
    const char* model;
    Misfit wide, negative;
};

class ValueCheckModels : public ValueCheckTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ValueCheckModels, DemoPassesAndMisfitsNameItemAndField)
{
    const Case& c = GetParam();
    makeDemo(c.model);
    EXPECT_EQ(check(c.model), "");
    for (const Misfit& m : {c.wide, c.negative}) {
        if (!*m.text)
            continue;
        fs::remove_all(db());
        makeDemo(c.model);
        set(m.table, m.record, m.field, px::Value::floatValue(m.value));
        EXPECT_EQ(check(c.model), m.text) << m.field;
    }
}

// A value that does not convert stops the check as it would stop the print, before any call.
TEST_F(ValueCheckTest, UnconvertibleValueThrowsBeforeAnyCall)
{
    makeDemo("BEMATECH");
    set("CFITENS.DB", 2, "Quantidade", px::Value::floatValue(1e300));
    EXPECT_THROW(check("BEMATECH"), common::ConversionError);
}

constexpr const char* itens = "CFITENS.DB";
constexpr const char* cabec = "CFCABEC.DB";

// The demo's items: 1 (product 1501), 2 (2210, discount 0,50), 3 (3307), 4 (4102).
INSTANTIATE_TEST_SUITE_P(
    EveryModel, ValueCheckModels,
    ::testing::Values(
        Case{"SCHALTER2", {itens, 0, "Quantidade", 0, ""},
             {itens, 1, "Vlr_Descit", -0.5, "Item 2: Vlr_Descit -0,5: o campo não aceita valor negativo"}},
        Case{"SCHALTER30",
             {itens, 2, "Quantidade", 12345, "Item 3 (produto 3307): Quantidade 12345 não cabe nos 3 dígitos do campo"},
             {itens, 2, "Quantidade", -0.5, "Item 3 (produto 3307): Quantidade -0,5: o campo não aceita valor negativo"}},
        Case{"FS345",
             {itens, 2, "Quantidade", 1000, "Item 3 (produto 3307): Quantidade 1000 não cabe nos 5 dígitos do campo"},
             {itens, 2, "Preco_Unit", -22, "Item 3 (produto 3307): Preco_Unit -22: o campo não aceita valor negativo"}},
        Case{"FS300",
             {itens, 2, "BT_ICMS", 12345678.9,
              "Item 3 (produto 3307): Total do item (BT_ICMS + BI_ICMS + BO_ICMS) 12345678,9 não cabe nos 9 dígitos "
              "do campo"},
             {itens, 2, "BT_ICMS", -33,
              "Item 3 (produto 3307): Total do item (BT_ICMS + BI_ICMS + BO_ICMS) -33: o campo não aceita valor "
              "negativo"}},
        Case{"BEMATECH",
             {itens, 2, "Quantidade", 12345, "Item 3 (produto 3307): Quantidade 12345 não cabe nos 7 dígitos do campo"},
             {itens, 2, "Quantidade", -5, "Item 3 (produto 3307): Quantidade -5: o campo não aceita valor negativo"}},
        Case{"SWEDA",
             {itens, 2, "Quantidade", 12345, "Item 3 (produto 3307): Quantidade 12345 não cabe nos 7 dígitos do campo"},
             {itens, 1, "Vlr_Descit", -0.5, "Item 2 (produto 2210): Vlr_Descit -0,5: o campo não aceita valor negativo"}},
        Case{"DARUMA345",
             {cabec, 0, "Vlr_Nota", 1e12,
              "Fechamento do cupom: Vlr_Nota 1000000000000 não cabe nos 14 caracteres do campo"},
             {itens, 2, "Quantidade", -5, "Item 3 (produto 3307): Quantidade -5: o campo não aceita valor negativo"}},
        Case{"FS600", {itens, 0, "Quantidade", 0, ""},
             {itens, 1, "Vlr_Descit", -0.5, "Item 2 (produto 2210): Vlr_Descit -0,5: o campo não aceita valor negativo"}},
        Case{"BEMAFI32",
             {cabec, 0, "Vlr_Nota", 1e12,
              "Fechamento do cupom: Vlr_Nota 1000000000000 não cabe nos 14 caracteres do campo"},
             {itens, 3, "Preco_Unit", -1.5, "Item 4 (produto 4102): Preco_Unit -1,5: o campo não aceita valor negativo"}},
        Case{"MP2100", {itens, 0, "Quantidade", 0, ""},
             {itens, 0, "Quantidade", -2, "Item 1 (produto 1501): Quantidade -2: o campo não aceita valor negativo"}}),
    [](const auto& info) { return std::string(info.param.model); });

// The check stands before the coupon's first call: a value too wide sends nothing to the
// printer, the box names item and field, and the tables are kept.
TEST_F(ValueCheckTest, APrintWithAValueTooWideSendsNothing)
{
    makeDemo("BEMATECH");
    set("CFITENS.DB", 2, "Quantidade", px::Value::floatValue(12345));
    const CliRun r = cli({"print"}, "n\nn\n");
    EXPECT_EQ(r.status, 3) << r.out << r.err;
    EXPECT_NE(r.out.find("Quantidade 12345 não cabe nos 7 dígitos"), std::string::npos) << r.out;
    for (const auto& c : readCalls(trace())) { // neither the coupon's opening nor a sale
        EXPECT_EQ(c["args"].dump().find("|00|"), std::string::npos) << c.dump();
        EXPECT_EQ(c["args"].dump().find("|09|"), std::string::npos) << c.dump();
    }
    EXPECT_EQ(records("CFITENS.DB"), 4u);
}

// A field the family reads only in the closing, missing: before, the items were sold and the
// coupon left open; now nothing is sent, the box names the field, the tables are kept.
TEST_F(ValueCheckTest, AMissingClosingFieldSendsNothing)
{
    struct Family {
        const char* model;
        const char* field;
        const char* opening; // in the trace once the coupon is opened
    };
    for (const Family& f : {Family{"SCHALTER2", "Telefone", "ecfImpCab"}, Family{"FS345", "Observ", "AberturaCupomFiscal"},
                            Family{"BEMATECH", "Telefone", "|00|"}, Family{"SWEDA", "NumValeTroco", ".17}"},
                            Family{"DARUMA345", "LinhaVenc", "Daruma_FI_AbreCupom"},
                            Family{"BEMAFI32", "LinhaVenc", "Bematech_FI_AbreCupom"}}) {
        SCOPED_TRACE(f.model);
        fs::remove_all(db());
        fs::remove_all(state());
        fs::remove(trace());
        makeDemo(f.model);
        drop("CFCABEC.DB", f.field);
        const CliRun r = cli({"print"}, "s\ns\ns\n");
        EXPECT_EQ(r.status, 3) << r.out << r.err;
        EXPECT_NE(r.out.find("Cupom não impresso: CFCABEC.DB: Field '" + std::string(f.field) + "' not found"),
                  std::string::npos)
            << r.out;
        for (const auto& c : readCalls(trace()))
            EXPECT_EQ(c.dump().find(f.opening), std::string::npos) << c.dump();
        EXPECT_EQ(records("CFCABEC.DB"), 1u);
        EXPECT_EQ(records("CFITENS.DB"), 4u);
    }
}

} // namespace
} // namespace ecf::test
