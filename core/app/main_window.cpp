#include "app/main_window.h"

#include "app/application.h"
#include "app/dm_filial.h"
#include "common/outcome.h"
#include "common/text.h"
#include "coupon/saved_coupons.h"
#include "printer/pipeline.h"
#include "printer/printer.h"
#include "utilities/util_ecf.h"

#include <exception>

namespace ecf::app {

namespace {

// Reports the main window's state once when the show handler ends, however it ends. An error
// that ends the handler goes on to the default error handler after the report.
class MainShownReport {
public:
    MainShownReport(common::OperatorPort& op, const MainWindow& w)
        : op_(op), w_(w), uncaught_(std::uncaught_exceptions())
    {
    }
    ~MainShownReport() noexcept(false)
    {
        const common::MainWindowState state{w_.label1(), w_.button1Caption(), w_.button1Enabled()};
        if (std::uncaught_exceptions() > uncaught_) {
            // Unwinding already: the report must not raise a second error.
            try {
                op_.mainShown(state);
            } catch (...) {
            }
        } else {
            op_.mainShown(state);
        }
    }
    MainShownReport(const MainShownReport&) = delete;
    MainShownReport& operator=(const MainShownReport&) = delete;

private:
    common::OperatorPort& op_;
    const MainWindow& w_;
    int uncaught_;
};

// "2026-12-01 10:00:00" as the cashier reads it: "01/12/2026 às 10:00".
std::string brazilianTime(const std::string& when)
{
    if (when.size() != 19 || when[4] != '-' || when[7] != '-' || when[10] != ' ')
        return when;
    return when.substr(8, 2) + "/" + when.substr(5, 2) + "/" + when.substr(0, 4) + " às " + when.substr(11, 5);
}

} // namespace

MainWindow::MainWindow(Application& app) : app_(app)
{
    TItens.setMaster(&TCabec, {"Filial", "Num_Nota", "Tipo_Nota", "Cod_Clifor", "DT_ENTRADA"});
}

void MainWindow::onShow()
{
    MainShownReport report(app_.op(), *this);
    startUp();
}

void MainWindow::startUp()
{
    common::StartupConfig& config = app_.config();
    printer::Printer& printer = app_.printer();

    // 0. One ECF at a time on this database's hand-off; then what a previous run left half
    // done there (a putting back, an emptying) is finished first.
    if (!takeHandOffLock())
        return;
    handOff().finishEmptying(TCabec, TItens);

    // 1. The access table of the data module.
    app_.dmFilial().TAcesso.open();

    // 2. The branch record: the record the table stands on after opening.
    TFilial.open();
    config.fatModNf = TFilial.fieldByName("FatModNf").asInteger();
    config.portaEcf = TFilial.fieldByName("PortaEcf").asString();
    config.modeloEcf = TFilial.fieldByName("ModeloEcf").asString();
    const int velPortSer = TFilial.fieldByName("VelPortSer").asInteger();

    // The family's source (the emulator or the maker's library) before anything is sent.
    if (!printer.openSource())
        return;

    // 3. The ports opened before the configuration check; errors are shown, start-up goes on.
    printer.driver().openPort(velPortSer);

    // 4. TEF switch.
    tbCfg.open();
    if (tbCfg.fieldByName("TEF").asBoolean())
        button1Action_ = Button1Action::TefIntegration;
    tbCfg.close();

    // 5. The tax table back to its initial state.
    printer.taxTable().reset();

    // 6, 7. Port and model configured.
    if (config.portaEcf.empty()) {
        app_.op().info("Porta da ECF nao cadastrada");
        app_.outcome().notDone("the printer port is not configured (PortaEcf)");
        return;
    }
    if (config.modeloEcf.empty()) {
        app_.op().info("Modelo da ECF nao cadastrado");
        app_.outcome().notDone("the printer model is not configured (ModeloEcf)");
        return;
    }

    // 8. The family's printer start and tax-table load.
    if (!printer.driver().start(velPortSer)) {
        app_.outcome().notDone("the printer did not start");
        return;
    }

    // The host's payment forms, for the family that programs them at every start.
    if (printer.driver().programsPaymentFormsAtStart()) {
        const data::CloseOnExit guard(TFormaPagto);
        TFormaPagto.open();
        printer.driver().programPaymentForms(utilities::paymentFormDescriptions(TFormaPagto));
        TFormaPagto.close();
    }

    // 9. The printer coupon number, for the model whose start reads it.
    if (printer.driver().showsCouponNumber())
        label1_ = std::to_string(config.couponNumber);

    // 10, 11. The hand-off tables.
    TCabec.open();
    TItens.open();
    checkPending();
    if (!button1Enabled_)
        offerSavedCopy();
    if (!button1Enabled_)
        handOffLock_.reset(); // nothing of the hand-off left to guard in this run
}

void MainWindow::checkPending()
{
    // A coupon the journal shows printed, or cut short on the printer, is not printed again.
    button1Enabled_ = !TCabec.isEmpty() && (handOffLock_ || takeHandOffLock()) && handOff().mayPrint(TCabec, TItens);
}

bool MainWindow::takeHandOffLock()
{
    handOffLock_ = std::make_unique<coupon::HandOffLock>(data::Database::folder());
    if (handOffLock_->take(coupon::HandOffLock::patience))
        return true;
    handOffLock_.reset();
    button1Enabled_ = false;
    app_.op().message("Outro ECF está imprimindo o cupom desta base de dados agora. Nada foi enviado à "
                      "impressora; aguarde o fim da impressão.");
    app_.outcome().notDone("the coupon is being printed by another ECF on this database");
    app_.outcome().summary("nothing printed: another ECF is printing this database's coupon");
    return false;
}

void MainWindow::offerSavedCopy()
{
    // A copy saved because the printer did not print the coupon whole is offered back while
    // nothing else waits; one the printer closed never is (printing it again sells it twice).
    if (!offerSavedCopies || button1Action_ != Button1Action::PrintCoupon || !TCabec.active() || !TItens.active()
        || !TCabec.isEmpty())
        return;
    {
        // TItens shows only the header's items: the whole file must be empty.
        data::Table allItems(TItens.tableName());
        const data::CloseOnExit guard(allItems);
        allItems.open();
        if (!allItems.isEmpty())
            return;
    }
    const std::string db = coupon::currentDatabase();
    coupon::SavedCoupons saved = coupon::SavedCoupons::inStateFolder();
    for (const coupon::SavedCoupon& copy : saved.pending()) {
        if (copy.printerClosed || copy.db != db || !copy.hasKey)
            continue;
        const common::Answer a = app_.op().confirm(
            "O cupom " + common::toUtf8(copy.key.values[1], copy.codePage) +
            " não foi impresso por inteiro; uma cópia dele foi guardada em " + brazilianTime(copy.when) +
            ". Deseja repor o cupom e imprimi-lo agora?");
        if (a == common::Answer::Close)
            return;
        if (a != common::Answer::Yes)
            continue;
        TItens.close();
        TCabec.close();
        saved.restore(copy, data::Database::tablePath("CFCABEC.DB"), data::Database::tablePath("CFITENS.DB"));
        TCabec.open();
        TItens.open();
        checkPending();
        return;
    }
}

coupon::HandOff MainWindow::handOff()
{
    return coupon::HandOff(
        coupon::HandOffContext{app_.op(), app_.clock(), app_.outcome(), app_.trace(), &app_.printer().pipeline().watch()});
}

std::string MainWindow::button1Caption() const
{
    return button1Action_ == Button1Action::TefIntegration ? "Integrar c/TEF" : "Imprimir";
}

void MainWindow::finishSale()
{
    if (!button1Enabled_)
        return; // a disabled button takes no click
    if (button1Action_ == Button1Action::PrintCoupon && TCabec.active() && TItens.active()) {
        // Start-up opened the hand-off tables: the pending coupon is printed, then both tables
        // are emptied, also after an error stop (a copy of a coupon not printed whole is saved
        // first). When start-up ended before opening them nothing is printed and the pending
        // coupon is kept for the next run.
        handOff().print(TCabec, TItens, TFilial, app_.printer().driver());
    }
    handOffLock_.reset();
    closeRequested_ = true;
}

void MainWindow::openCouponClosed()
{
    if (!button1Enabled_ && TCabec.active() && TItens.active())
        checkPending();
}

void MainWindow::requestClose()
{
    closeRequested_ = true;
}

void MainWindow::openUtilities()
{
    if (!app_.utilEcf())
        app_.createUtilEcf();
    app_.op().showWindow(common::Window::UtilEcf);
}

void MainWindow::onClose()
{
    handOffLock_.reset();
    app_.printer().driver().close();
    app_.printer().closeSource();
    TFilial.close();
    app_.dmFilial().TAcesso.close();
}

} // namespace ecf::app
