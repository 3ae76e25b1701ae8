#pragma once
// The printer families' test rig: the program's printer connection (trace file in a temporary
// folder, optional canned results) with a scripted operator, and coupon tables (CFCABEC,
// CFITENS, Filial, FormaPtg) in the same folder, reached by VANTIS_DIR.
#include "common/startup_config.h"
#include "common/clock.h"
#include "common/trace.h"
#include "coupon/sale_reading.h"
#include "data/table.h"
#include "printer/canned.h"
#include "printer/emulated_printer.h"
#include "printer/pipeline.h"
#include "printer/printer.h"
#include "printer/value_check.h"
#include "support/scripted_operator.h"
#include "support/tables.h"
#include "support/test_support.h"
#include "support/trace_reader.h"

#include <functional>
#include <map>
#include <tuple>
#include <memory>
#include <string>
#include <vector>

namespace ecf::test {

// Field values of one record by name; fields not given take the schema's default.
using FieldValues = std::map<std::string, data::px::Value>;

struct PrinterRig {
    TempDir dir;
    ScopedEnv vantis{"VANTIS_DIR", dir.path().string()};
    std::filesystem::path tracePath = dir.path() / "trace.jsonl";
    common::StartupConfig config;
    ScriptedOperator op;
    common::FixedClock clock{common::DateTime{2026, 12, 31, 23, 59, 59, 0}};
    printer::Printer printer;
    printer::EmulatedPrinter& emu = printer.emulated();
    printer::TaxTable& taxTable = printer.taxTable();

    // cannedJson: the content of an ECF_EMULATOR file, or empty for the emulator's own answers.
    explicit PrinterRig(const std::string& model, const std::string& cannedJson = "", const std::string& port = "1",
                     bool traced = true)
        : printer(config, op, clock,
                  {traced ? std::make_shared<common::Trace>((dir.path() / "trace.jsonl").string()) : nullptr,
                   cannedJson.empty() ? nullptr : printer::CannedResults::parse(cannedJson, "canned.json"),
                   dir.path(), nullptr, nullptr})
    {
        config.modeloEcf = model;
        config.portaEcf = port;
    }

    // The driver of the configured model, as the program's operations reach it.
    printer::FamilyDriver& driver() { return printer.driver(); }

    std::vector<std::string> calls() const { return callSignatures(tracePath); }
    std::vector<nlohmann::json> callLines() const { return readCalls(tracePath); }
    std::vector<std::string> callsOf(const std::string& fn) const
    {
        std::vector<std::string> out;
        for (const auto& s : calls())
            if (s.rfind(fn + "(", 0) == 0)
                out.push_back(s);
        return out;
    }
    // The first argument of every call named fn, as bytes (8-bit) or UTF-8 (wide).
    std::vector<std::string> argsOf(const std::string& fn, std::size_t index = 0) const
    {
        std::vector<std::string> out;
        for (const auto& c : callLines())
            if (c["fn"] == fn && index < c["args"].size())
                out.push_back(c["args"][index].is_string() ? c["args"][index].get<std::string>()
                                                           : c["args"][index].dump());
        return out;
    }
    std::vector<std::string> messages() const { return op.texts("message"); }

    // The coupon tables: one header, the items, the branch record.
    void makeCoupon(const FieldValues& header, const std::vector<FieldValues>& items, const FieldValues& branch = {});
    void makeFormaPtg(const std::vector<std::string>& names);

    // Opens the three coupon tables (call after makeCoupon); sale() reads them as the coupon
    // issue does for the driver.
    struct Open {
        data::Table cabec{"CFCABEC.DB"}, itens{"CFITENS.DB"}, filial{"Filial.DB"};
        Open() { cabec.open(); itens.open(); filial.open(); }
        printer::SaleRecord sale(const printer::FamilyDriver& d)
        {
            return coupon::readSale(d.saleFields(), cabec, itens, filial);
        }
    };

    // The coupon issue as the program runs it: each item's tax code and registration (stop at
    // the first failure), then the closing stage and the receipts. False at an error stop.
    bool issue(printer::FamilyDriver& driver)
    {
        Open t;
        const printer::SaleRecord sale = t.sale(driver);
        for (std::size_t i = 0; i < sale.items.size(); ++i) {
            const printer::TaxCode code = driver.resolveTaxCode(sale.item(i));
            if (!driver.registerItem(sale.item(i), code, printer::itemTotal(sale.items[i])))
                return false;
        }
        driver.closeCoupon(sale);
        driver.receipts(sale);
        return true;
    }
};

namespace rig_detail {

using namespace px_fields;
using namespace px_values;

struct Column {
    data::px::FieldDef def;
    data::px::Value value;
};

inline std::vector<Column> headerSchema()
{
    return {{alpha("Icms", 1), txt("T")},          {alpha("CGC", 20), txt("")},
            {longField("Num_Nota"), lng(123)},      {longField("Cod_Clifor"), lng(77)},
            {number("Vlr_Nota"), num(19.99)},       {alpha("Cliente", 100), txt("JOSE DA SILVA")},
            {alpha("CNPJ", 20), txt("12345678901")}, {alpha("InscrEst", 20), txt("ISENTO")},
            {alpha("Endereco", 100), txt("RUA A")},  {alpha("Numero", 10), txt("10")},
            {alpha("Bairro", 20), txt("CENTRO")},   {alpha("CEP", 10), txt("01000-000")},
            {alpha("Telefone", 20), txt("5555")},   {alpha("Cidade", 20), txt("SAO PAULO")},
            {alpha("Estado", 2), txt("SP")},        {alpha("LinhaVenc", 250), txt("VENC 10/01")},
            {longField("Cod_Vend1"), lng(0)},       {alpha("Nome_Vende", 30), txt("MARIA")},
            {alpha("Observ", 250), txt("")},         {alpha("TipoPagAlf", 1), txt("")},
            {longField("TipoPagNum"), lng(0)},      {alpha("FormaPag", 20), txt("Dinheiro")},
            {number("VlrDinheiro"), num(0)},        {number("VlrTicket"), num(0)},
            {number("VlrValeAberto"), num(0)},      {longField("NumValeTroco"), lng(0)}};
}

inline std::vector<Column> itemSchema()
{
    return {{longField("Num_Item"), lng(1)},      {longField("Cod_Reduz"), lng(123)},
            {alpha("Descr_Prod", 80), txt("CANETA AZUL")}, {alpha("Unid_Pad", 5), txt("UN")},
            {number("Quantidade"), num(1)},        {number("Preco_Unit"), num(19.99)},
            {number("Vlr_Descit"), num(0)},        {number("BT_ICMS"), num(19.99)},
            {number("BI_ICMS"), num(0)},           {number("BO_ICMS"), num(0)},
            {alpha("Subst_Trib", 1), txt("N")},    {number("BaseIcms"), num(100)},
            {number("AliqCupom"), num(0)},         {number("AliqIcms"), num(18)},
            {alpha("Nivel1", 5), txt("10")}};
}

inline std::vector<Column> branchSchema()
{
    return {{alpha("TipoDescIt", 1), txt("V")}, {number("Perc_Issqn"), num(5)}, {alpha("Fil_Cidade", 30), txt("CAMPINAS")}};
}

inline void make(const std::filesystem::path& dir, const std::string& name, const std::vector<Column>& schema,
                 const std::vector<FieldValues>& rows)
{
    std::vector<data::px::FieldDef> defs;
    for (const auto& c : schema)
        defs.push_back(c.def);
    std::vector<data::px::Record> records;
    for (const auto& row : rows) {
        data::px::Record r;
        for (const auto& c : schema) {
            const auto it = row.find(c.def.name);
            r.push_back(it == row.end() ? c.value : it->second);
        }
        records.push_back(std::move(r));
    }
    makeTable(dir, name, defs, records);
}

} // namespace rig_detail

inline void PrinterRig::makeCoupon(const FieldValues& header, const std::vector<FieldValues>& items,
                                const FieldValues& branch)
{
    rig_detail::make(dir.path(), "CFCABEC.DB", rig_detail::headerSchema(), {header});
    rig_detail::make(dir.path(), "CFITENS.DB", rig_detail::itemSchema(), items);
    rig_detail::make(dir.path(), "Filial.DB", rig_detail::branchSchema(), {branch});
}

inline void PrinterRig::makeFormaPtg(const std::vector<std::string>& names)
{
    std::vector<FieldValues> rows;
    for (const auto& n : names)
        rows.push_back({{"Descricao", data::px::Value::text(n)}});
    rig_detail::make(dir.path(), "FormaPtg.DB", {{px_fields::alpha("Descricao", 30), px_values::txt("")}}, rows);
}

// A JSON string literal of 8-bit bytes, as the trace and canned files write them.
inline std::string jsonLatin1(const std::string& bytes)
{
    std::string out;
    common::json::appendLatin1(out, bytes);
    return out;
}

// Shorthands for field values in tests.
inline data::px::Value T(std::string bytes) { return data::px::Value::text(std::move(bytes)); }
inline data::px::Value N(double v) { return data::px::Value::floatValue(v); }
inline data::px::Value I(std::int64_t v) { return data::px::Value::integerValue(v); }

// A JSON string literal of 8-bit bytes, as the trace and canned files write them.
inline std::string jsonBytes(const std::string& bytes)
{
    std::string out;
    common::json::appendLatin1(out, bytes);
    return out;
}

} // namespace ecf::test
