#pragma once
// TfoUtilEcf, the utilities window: the printer's day operations, one button each. It exists
// from a click on "Utilitários" until it is closed; closing it destroys it and its logic.
#include "WindowSupport.h"

#include <QWidget>

class QCloseEvent;
class QPushButton;
class QShowEvent;

namespace ecf::app {
class Application;
}
namespace ecf::utilities {
class UtilEcf;
}

class TfoUtilEcf : public QWidget {
    Q_OBJECT
public:
    // The logic is the application's utilities window (app.utilEcf()), created beforehand.
    explicit TfoUtilEcf(ecf::app::Application& app, QWidget* parent = nullptr);
    ~TfoUtilEcf() override;

    // Shows the window for a handler that asked for it (the show handler's error ends that handler).
    void showForHandler();
    // The window has been closed and waits to be destroyed.
    bool isClosed() const { return closed_; }
    // Destroys the window's logic now (done by the destructor otherwise).
    void releaseLogic();

    QPushButton* Button1 = nullptr; // "Leitura X"
    QPushButton* Button2 = nullptr; // "Redução Z"
    QPushButton* Button3 = nullptr; // "Cancela Último Cupom"
    QPushButton* Button4 = nullptr; // "Fecha Cupom Aberto"
    QPushButton* Button5 = nullptr; // "Cadastra Formas Pgto."
    QPushButton* Button6 = nullptr; // "Leitura Memória Fiscal"
    QPushButton* Button7 = nullptr; // "Fechar"

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void click(void (ecf::utilities::UtilEcf::*handler)());

    ecf::app::Application& app_;
    ecf::utilities::UtilEcf* logic_;
    ecf::gui::ShowHandler showHandler_;
    bool closed_ = false;
};
