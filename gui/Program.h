#pragma once
// The desktop program's windows, created in the order of the program's start and handed to
// the operator port: the main window TfoTolvar, TfoMostraFormasPagamentoECF,
// TfoRelMemoriaFiscal, TFormSenha (the data module TDMFilial is the application's own), then
// the report dialogs, and the emulated printer's paper tape. The utilities window is made by
// "Utilitários".
#include <QObject>

#include <memory>

class QWidget;
class TfoTolvar;
class TfoMostraFormasPagamentoECF;
class TfoRelMemoriaFiscal;
class TFormSenha;
class TfoBobina;

namespace ecf::app {
class Application;
}

namespace ecf::gui {

class QtOperator;

class Program {
public:
    Program(ecf::app::Application& app, QtOperator& op);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TfoTolvar& tolvar() { return *tolvar_; }
    TfoMostraFormasPagamentoECF& formasPagamento() { return *formasPagamento_; }
    TfoRelMemoriaFiscal& relMemoriaFiscal() { return *relMemoriaFiscal_; }
    TFormSenha& formSenha() { return *formSenha_; }
    TfoBobina& bobina() { return *bobina_; }

private:
    std::unique_ptr<TfoTolvar> tolvar_;
    std::unique_ptr<TfoMostraFormasPagamentoECF> formasPagamento_;
    std::unique_ptr<TfoRelMemoriaFiscal> relMemoriaFiscal_;
    std::unique_ptr<TFormSenha> formSenha_;
    std::unique_ptr<QWidget> tipoImpr_;
    std::unique_ptr<QWidget> qtdCopias_;
    std::unique_ptr<TfoBobina> bobina_;
};

} // namespace ecf::gui
