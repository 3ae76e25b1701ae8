#pragma once
// The desktop program's operator port: message boxes, the password dialog and the windows.
#include "common/operator_port.h"

#include <QPointer>

#include <memory>

class QWidget;
class TfoTolvar;
class TfoUtilEcf;
class TfoMostraFormasPagamentoECF;
class TfoRelMemoriaFiscal;
class TFormSenha;
class TfoBobina;

namespace ecf::app {
class Application;
}

namespace ecf::gui {

class QtOperator : public ecf::common::OperatorPort {
public:
    QtOperator();
    ~QtOperator() override;

    // The application and its windows, once they exist (the port comes first, for the
    // application takes it at creation). Any of the windows may be null.
    struct Windows {
        TfoTolvar* tolvar = nullptr;
        TfoMostraFormasPagamentoECF* formasPagamento = nullptr;
        TfoRelMemoriaFiscal* relMemoriaFiscal = nullptr;
        TFormSenha* formSenha = nullptr;
        TfoBobina* bobina = nullptr;
    };
    void attach(ecf::app::Application& app, const Windows& windows);

    // The utilities window while it exists.
    TfoUtilEcf* utilEcfWindow() const;

    void message(const std::string& text) override;
    void info(const std::string& text) override;
    void error(const std::string& text) override;
    void exception(const std::string& text) override;
    ecf::common::Answer confirm(const std::string& text) override;
    ecf::common::PasswordEntry password(const std::string& caption, bool userPanel) override;
    void mainShown(const ecf::common::MainWindowState& state) override;
    void listShown(const std::vector<std::string>& items) override;
    void showWindow(ecf::common::Window window) override;
    void closeWindow(ecf::common::Window window) override;

private:
    QWidget* boxParent() const;

    ecf::app::Application* app_ = nullptr;
    QPointer<TfoTolvar> tolvar_;
    QPointer<TfoMostraFormasPagamentoECF> formasPagamento_;
    QPointer<TfoRelMemoriaFiscal> relMemoriaFiscal_;
    QPointer<TFormSenha> formSenha_;
    QPointer<TfoBobina> bobina_;
    QPointer<TfoUtilEcf> utilEcf_;
    std::unique_ptr<TFormSenha> ownFormSenha_; // made on demand when none was given
};

} // namespace ecf::gui
