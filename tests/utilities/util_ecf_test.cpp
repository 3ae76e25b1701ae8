// The utilities window, the payment-form listing and the fiscal-memory window, driven by a
// scripted operator on the emulated printer; what reaches the printer is read from the trace.
#include "utilities/util_ecf.h"

#include "access/access_check.h"
#include "common/outcome.h"
#include "common/trace.h"
#include "printer/canned.h"
#include "printer/printer.h"
#include "support/scripted_operator.h"
#include "support/tables.h"
#include "support/test_support.h"
#include "support/trace_reader.h"
#include "utilities/formas_pagamento.h"
#include "utilities/rel_memoria_fiscal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace ecf {
namespace {

using namespace test::px_fields;
using namespace test::px_values;
using common::Answer;
using common::Window;
using Strings = std::vector<std::string>;

// The utilities window's objects as the program makes them, in its order, over the data
// module's access table.
struct Utilities {
    Utilities(common::OperatorPort& op, const common::Clock& clock, ::ecf::printer::Printer::Options options)
        : printer(config, op, clock, [&] { options.outcome = &outcome; return std::move(options); }()),
          formasPagamento(op, printer, &outcome), relMemoriaFiscal(op, printer, &outcome),
          access(op, clock, TAcesso), util(op, config, printer, access, outcome)
    {
    }
    common::StartupConfig config;
    common::Outcome outcome;
    ::ecf::printer::Printer printer;
    utilities::MostraFormasPagamento formasPagamento;
    utilities::RelMemoriaFiscal relMemoriaFiscal;
    data::Table TAcesso{"Acesso.db"};
    ::ecf::access::AccessCheck access;
    utilities::UtilEcf util;
};

class UtilEcfTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};
    common::FixedClock clock{{2026, 12, 8, 10, 0, 0, 0}};
    test::ScriptedOperator op;
    std::filesystem::path traceFile = dir.path() / "trace.jsonl";
    std::unique_ptr<Utilities> rig;
    utilities::UtilEcf* util = nullptr;

    void SetUp() override
    {
        filial("1", "DARUMA345");
        test::makeTable(dir.path(), "FormaPtg.db", {longField("Codigo"), alpha("Descricao", 20)},
                        {{lng(1), txt("Dinheiro")}, {lng(2), txt("Cheque")}});
        // The Z reduction (operation 1) needs the password "zeta", without a user.
        test::makeTable(dir.path(), "Acesso.db",
                        {longField("Codigo"), alpha("Descricao", 40), alpha("Conteudo", 10), alpha("Inf_Usuario", 1)},
                        {{lng(1), txt("Reducao Z"), txt("zeta"), txt("N")}});
        test::makeTable(dir.path(), "Usuarios.db", {alpha("Codigo", 6), alpha("Senha", 8), alpha("Nivel", 2)});
    }

    void filial(const std::string& porta, const std::string& modelo)
    {
        std::filesystem::remove(dir.path() / "Filial.DB");
        test::makeTable(dir.path(), "Filial.DB", {longField("FatModNf"), alpha("PortaEcf", 5), alpha("ModeloEcf", 10)},
                        {{lng(2), porta.empty() ? nul() : txt(porta), modelo.empty() ? nul() : txt(modelo)}});
    }

    // The program's objects with the utilities window shown; `canned` is an ECF_EMULATOR text.
    void start(const std::string& canned = "")
    {
        rig.reset();
        rig = std::make_unique<Utilities>(op, clock, printer::Printer::Options{
            std::make_shared<common::Trace>(traceFile.string()),
            canned.empty() ? nullptr : printer::CannedResults::parse(canned, "canned.json"), dir.path(), nullptr, nullptr});
        // Showing the listing window runs its show handler, as the toolkit does.
        op.onShowWindow = [this](Window w) {
            if (w == Window::MostraFormasPagamentoECF)
                rig->formasPagamento.onShow();
        };
        util = &rig->util;
        run([this] { util->onShow(); });
        op.events.clear();
        forget();
    }

    // As the program's default error handler: an error that ends a handler is shown.
    void run(const std::function<void()>& handler)
    {
        try {
            handler();
        } catch (const std::exception& e) {
            op.exception(e.what());
        }
    }

    // The maker functions called since the last forget(), in order.
    std::vector<std::string> calls() const
    {
        std::vector<std::string> fns;
        for (const auto& c : test::readCalls(traceFile))
            fns.push_back(c["fn"].get<std::string>());
        fns.erase(fns.begin(), fns.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, fns.size())));
        return fns;
    }
    void forget() { seen_ = test::readCalls(traceFile).size(); }
    std::size_t seen_ = 0;
    std::vector<std::string> kinds() const
    {
        std::vector<std::string> k;
        for (const auto& e : op.events)
            k.push_back(e.kind);
        return k;
    }
};

TEST_F(UtilEcfTest, ShowingReadsTheBranchConfigurationAgain)
{
    start();
    EXPECT_EQ(rig->config.fatModNf, 2);
    EXPECT_EQ(rig->config.portaEcf, "1");
    EXPECT_EQ(rig->config.modeloEcf, "DARUMA345");
    EXPECT_FALSE(util->TFilial.active());

    filial("2", "BEMAFI32");
    run([this] { util->onShow(); });
    EXPECT_EQ(rig->config.portaEcf, "2");
    EXPECT_EQ(rig->config.modeloEcf, "BEMAFI32");

    // An empty branch table reads as empty values.
    std::filesystem::remove(dir.path() / "Filial.DB");
    test::makeTable(dir.path(), "Filial.DB", {longField("FatModNf"), alpha("PortaEcf", 5), alpha("ModeloEcf", 10)});
    run([this] { util->onShow(); });
    EXPECT_EQ(rig->config.fatModNf, 0);
    EXPECT_EQ(rig->config.portaEcf, "");
    EXPECT_EQ(rig->config.modeloEcf, "");
    EXPECT_TRUE(op.texts("exception").empty());
}

TEST_F(UtilEcfTest, OnlyTheAnswerYesLetsAConfirmedOperationGoOn)
{
    struct Case {
        const char* name;
        std::function<void(utilities::UtilEcf&)> click;
        const char* question;
        const char* fn;
    };
    const Case cases[] = {
        {"X", [](auto& u) { u.xReading(); }, "Confirma Emissão da Leitura X ?", "Daruma_FI_LeituraX"},
        {"Z", [](auto& u) { u.zReduction(); }, "Confirma Emissão da Redução Z ?", "Daruma_FI_ReducaoZ"},
        {"cancel", [](auto& u) { u.cancelLastCoupon(); }, "Confirma Cancelamento do Último Cupom ?", "Daruma_FI_CancelaCupom"},
        {"close open", [](auto& u) { u.closeOpenCoupon(); }, nullptr, "Daruma_FI_CancelaCupom"}, // asks nothing
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (Answer a : {Answer::No, Answer::Yes, Answer::Close}) {
            op.events.clear();
            forget();
            op.confirmAnswers.push_back(a);
            op.passwordAnswers.push_back({true, "zeta", "", ""});
            run([&] { c.click(*util); });
            EXPECT_EQ(op.texts("confirm"), c.question ? Strings{c.question} : Strings{});
            EXPECT_EQ(calls(), a != Answer::Yes && c.question ? Strings{} : Strings{c.fn});
            EXPECT_TRUE(op.texts("exception").empty());
            op.passwordAnswers.clear();
        }
    }
}

TEST_F(UtilEcfTest, ZReductionAsksThePasswordBeforeItsConfirmation)
{
    start();
    op.passwordAnswers.push_back({true, "ZETA", "", ""});
    op.confirmAnswers.push_back(Answer::Yes);
    run([this] { util->zReduction(); });
    EXPECT_EQ(kinds(), (Strings{"password", "confirm"}));
    EXPECT_EQ(calls(), Strings{"Daruma_FI_ReducaoZ"});

    // A cancelled dialog, or a wrong password, shows no confirmation and sends nothing.
    op.events.clear();
    forget();
    run([this] { util->zReduction(); });
    EXPECT_EQ(kinds(), Strings{"password"});
    op.events.clear();
    op.passwordAnswers.push_back({true, "beta", "", ""});
    run([this] { util->zReduction(); });
    EXPECT_EQ(kinds(), (Strings{"password", "error"}));
    EXPECT_TRUE(calls().empty());
}

TEST_F(UtilEcfTest, OperationsCheckPortAndModelAfterTheirConfirmation)
{
    struct Config {
        std::string porta, modelo;
        Strings infos;
    };
    const Config configs[] = {
        {"", "DARUMA345", {"Porta da ECF nao cadastrada"}},
        {"1", "", {"Modelo da ECF nao cadastrado"}},
        {"", "", {"Porta da ECF nao cadastrada"}},
        {"1", "NENHUM", {}}, // a model of no family passes, and nothing is sent
    };
    const std::function<void(utilities::UtilEcf&)> buttons[] = {
        [](auto& u) { u.xReading(); }, [](auto& u) { u.zReduction(); },
        [](auto& u) { u.cancelLastCoupon(); }, [](auto& u) { u.closeOpenCoupon(); }};
    for (const Config& cfg : configs) {
        filial(cfg.porta, cfg.modelo);
        op.events.clear();
        start();
        for (std::size_t b = 0; b < 4; ++b) {
            SCOPED_TRACE("port '" + cfg.porta + "' model '" + cfg.modelo + "' button " + std::to_string(b + 1));
            op.events.clear();
            op.confirmAnswers.push_back(Answer::Yes);
            op.passwordAnswers.push_back({true, "zeta", "", ""});
            run([&] { buttons[b](*util); });
            EXPECT_EQ(op.texts("info"), cfg.infos);
            EXPECT_EQ(op.texts("confirm").size(), b == 3 ? 0u : 1u); // "Fecha Cupom Aberto" asks nothing
            EXPECT_TRUE(op.texts("message").empty());
            EXPECT_TRUE(op.texts("exception").empty());
            op.confirmAnswers.clear();
            op.passwordAnswers.clear();
        }
        EXPECT_TRUE(calls().empty());
        rig.reset();
        forget();
    }
}

TEST_F(UtilEcfTest, PaymentFormsAreProgrammedThenListedEvenAfterAnError)
{
    start(R"({"calls": {"Daruma_FI_ProgramaFormasPagamento": [{"ret": 0}]}})");
    run([this] { util->programPaymentForms(); });
    EXPECT_EQ(op.texts("message"), Strings{"Erro no cadastro das formas de pagamento"});
    EXPECT_EQ(op.shown, std::vector<Window>{Window::MostraFormasPagamentoECF});
    EXPECT_EQ(kinds(), (Strings{"message", "show", "list"}));
    EXPECT_EQ(calls(), (Strings{"Daruma_FI_ProgramaFormasPagamento", "Daruma_FI_VerificaDescricaoFormasPagamento"}));
    EXPECT_FALSE(util->TFormaPagto.active());
}

TEST_F(UtilEcfTest, ListingShowsThePrintersNamesAndKeepsThemAfterAnError)
{
    start(R"({"calls": {"Daruma_FI_VerificaDescricaoFormasPagamento": [
              {"ret": 1, "out": "Cart\u00e3o          ;Cheque          ;Pagamento Tipo 3"},
              {"ret": 0}]}})");
    run([this] { rig->formasPagamento.onShow(); });
    const Strings first = op.lastList;
    EXPECT_EQ(first, (Strings{"Cartão          ", "Cheque          "}));
    EXPECT_EQ(rig->formasPagamento.items(), first);
    op.events.clear();
    run([this] { rig->formasPagamento.onShow(); });
    EXPECT_EQ(kinds(), (Strings{"message", "list"}));
    EXPECT_EQ(op.lastList, first);
}

TEST_F(UtilEcfTest, ListingEndedByAnErrorStillShowsItsList)
{
    filial("1", "BEMATECH"); // the reply file goes missing: the reply check raises an error
    start(R"({"calls": {"FormataTX": [{"ret": 0, "out": null}]}})");
    run([this] { rig->formasPagamento.onShow(); });
    const Strings k = kinds();
    ASSERT_GE(k.size(), 2u);
    EXPECT_EQ(Strings(k.end() - 2, k.end()), (Strings{"list", "exception"}));
}

TEST_F(UtilEcfTest, WindowButtons)
{
    start();
    run([this] { util->openFiscalMemory(); });
    run([this] { util->closeWindow(); });
    EXPECT_EQ(op.shown, std::vector<Window>{Window::RelMemoriaFiscal});
    EXPECT_EQ(op.closed, std::vector<Window>{Window::UtilEcf});
    run([this] { rig->relMemoriaFiscal.closeWindow(); });
    EXPECT_EQ(op.closed, (std::vector<Window>{Window::UtilEcf, Window::RelMemoriaFiscal}));
    EXPECT_TRUE(calls().empty());
}

TEST_F(UtilEcfTest, FiscalMemoryDateErrorKeepsTheWindowOpen)
{
    start(); // Daruma: the dates are converted first
    utilities::RelMemoriaFiscal& rel = rig->relMemoriaFiscal;
    rel.maskEdit2 = "07/12/2026";
    run([&] { rel.printReading(); });
    EXPECT_EQ(kinds(), Strings{"exception"});
    EXPECT_TRUE(op.closed.empty());
    EXPECT_TRUE(calls().empty());

    rel.maskEdit1 = "01/12/2026";
    run([&] { rel.printReading(); });
    EXPECT_EQ(calls(), Strings{"Daruma_FI_LeituraMemoriaFiscalData"});
    EXPECT_EQ(op.closed, std::vector<Window>{Window::RelMemoriaFiscal});
}

TEST_F(UtilEcfTest, OnlyAFechaCupomAbertoThePrinterTookSettlesAnOpenCoupon)
{
    for (const bool refused : {true, false}) {
        SCOPED_TRACE(refused);
        start(refused ? R"({"calls":{"Daruma_FI_CancelaCupom":[{"ret":0}]}})" : "");
        int settled = 0;
        util->openCouponClosed = [&settled] { ++settled; };
        run([this] { util->closeOpenCoupon(); });
        EXPECT_EQ(calls(), Strings{"Daruma_FI_CancelaCupom"});
        EXPECT_EQ(settled, refused ? 0 : 1);
        EXPECT_EQ(rig->outcome.isNotDone(), refused);
    }
}

} // namespace
} // namespace ecf
