#pragma once
// TfoTolvar, the main window: its start-up sequence (show handler), its three buttons and its
// close handler. The front end shows the captions and state held here.
#include "app/startup_config.h"
#include "data/table.h"

#include <string>

namespace ecf::app {

class Application;

class MainWindow {
public:
    explicit MainWindow(Application& app);

    void onShow();        // the start-up sequence; ends with the "main" window-state report
    void button1Click();  // "Imprimir" (or "Integrar c/TEF")
    void button2Click();  // "Fechar"
    void button3Click();  // "Utilitários"
    void onClose();       // close handler: closes the printer, Filial.DB and Acesso.db

    // Window state for the front end.
    const std::string& label1() const { return label1_; }
    const std::string& button1Caption() const { return button1_; }
    bool button1Enabled() const { return button1Enabled_; }
    // A handler asked the window to close; the front end closes it (which runs onClose()).
    bool closeRequested() const { return closeRequested_; }

    // The window's table components, on the alias "VANTIS".
    data::Table TCabec{"CFCABEC.DB"};
    data::Table TItens{"CFITENS.DB"};
    data::Table TFilial{"Filial.DB"};
    data::Table tbCfg{"FATURCFG.DB"};
    data::Table TFormaPagto{"FormaPtg.DB"};

private:
    void startUp();
    void couponIssue();

    Application& app_;
    std::string label1_ = "000000";
    std::string button1_ = "Imprimir";
    bool button1Enabled_ = true;
    bool closeRequested_ = false;
};

} // namespace ecf::app
