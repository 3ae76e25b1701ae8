#pragma once
// TfoTolvar, the main window: its start-up sequence (show handler), its three buttons and its
// close handler. The front end shows the captions and state held here.
#include "common/startup_config.h"
#include "coupon/hand_off.h"
#include "coupon/hand_off_lock.h"
#include "data/table.h"

#include <memory>
#include <string>

namespace ecf::app {

class Application;

class MainWindow {
public:
    explicit MainWindow(Application& app);

    void onShow();        // the start-up sequence; ends with the "main" window-state report
    // What Button1 does: print the pending coupon, or (with TEF switched on) only close.
    enum class Button1Action { PrintCoupon, TefIntegration };

    void finishSale();    // Button1, "Imprimir" (or "Integrar c/TEF"): the pending coupon, then close
    void requestClose();  // Button2, "Fechar"
    void openUtilities(); // Button3, "Utilitários"
    void onClose();       // close handler: closes the printer, Filial.DB and Acesso.db
    // "Fecha Cupom Aberto" succeeded: a pending coupon held back because the printer might
    // hold an open coupon may be printed now.
    void openCouponClosed();

    // Window state for the front end.
    const std::string& label1() const { return label1_; }
    Button1Action button1Action() const { return button1Action_; }
    std::string button1Caption() const;
    bool button1Enabled() const { return button1Enabled_; }
    // A handler asked the window to close; the front end closes it (which runs onClose()).
    bool closeRequested() const { return closeRequested_; }

    // Start-up offers a saved copy back when the hand-off tables are empty (see offerSavedCopy).
    // A front end that runs only a utility (ecf-cli x-reading ...) turns it off, so that the
    // question does not take an answer meant for the utility.
    bool offerSavedCopies = true;

    // The window's table components, on the alias "VANTIS".
    data::Table TCabec{"CFCABEC.DB"};
    data::Table TItens{"CFITENS.DB"};
    data::Table TFilial{"Filial.DB"};
    data::Table tbCfg{"FATURCFG.DB"};
    data::Table TFormaPagto{"FormaPtg.DB"};

private:
    void startUp();
    bool takeHandOffLock();
    void offerSavedCopy();
    void checkPending();
    coupon::HandOff handOff();

    Application& app_;
    std::string label1_ = "000000";
    Button1Action button1Action_ = Button1Action::PrintCoupon;
    bool button1Enabled_ = false; // enabled by a start-up that opened the hand-off tables on a pending coupon
    bool closeRequested_ = false;
    // Held from the start-up check of a pending coupon to the emptying of its tables.
    std::unique_ptr<coupon::HandOffLock> handOffLock_;
};

} // namespace ecf::app
