#pragma once
// TfoMostraFormasPagamentoECF: the payment forms the printer holds, read back from the printer
// each time the window is shown.
#include "WindowSupport.h"

#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QShowEvent;

namespace ecf::app {
class Application;
}

class TfoMostraFormasPagamentoECF : public QWidget {
    Q_OBJECT
public:
    explicit TfoMostraFormasPagamentoECF(ecf::app::Application& app, QWidget* parent = nullptr);

    // Shows the window for a handler that asked for it. The printer is asked again even when
    // the window is already on screen, so that it always lists what the printer now holds.
    void showForHandler();
    // Puts these entries (UTF-8) into ComboBox1.
    void fill(const std::vector<std::string>& items);

    QComboBox* ComboBox1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void runShowHandler();

    ecf::app::Application& app_;
    ecf::gui::ShowHandler showHandler_;
};
