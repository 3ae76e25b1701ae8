#pragma once
// TfoTipoImpr, "Tipo de Impressão": print mode, pitch, orientation, lines per page and the
// report printer (or the preview "VISUALIZAR"). Created at start and kept for the whole run;
// a caller shows it modally (exec()) and then reads the report settings. Widgets and wiring
// only: the state lives in ecf::report::TipoImpr.
#include "report/tipo_impr.h"

#include <QDialog>
#include <QPrinter>

#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ecf::app {
class Application;
}

class TfoTipoImpr : public QDialog {
    Q_OBJECT
public:
    // Runs one event of the dialog; an error that ends it is shown and the dialog goes on.
    using ErrorHandler = std::function<void(const std::function<void()>&)>;

    // The program's dialog: the process-wide report settings, the application's default error
    // handler, the system's printers and print dialog.
    explicit TfoTipoImpr(ecf::app::Application& app, QWidget* parent = nullptr);
    // The same dialog on given settings; a null printer source or print dialog stands for the
    // system's own.
    TfoTipoImpr(ecf::report::ReportSettings& settings, ErrorHandler handler,
                ecf::report::PrinterSource* printers = nullptr,
                ecf::report::PrintDialogOpener* printDialog = nullptr, QWidget* parent = nullptr);
    ~TfoTipoImpr() override;

    ecf::report::TipoImpr& logic() { return *logic_; }
    // The printer the system's print dialog set up, for graphic reports.
    QPrinter& printer() { return printer_; }

    QGroupBox* GroupBox1 = nullptr;    // print mode
    QRadioButton* rbGrafico = nullptr;
    QRadioButton* rbTexto = nullptr;
    QLabel* Label1 = nullptr;          // "Linhas por pagina"
    QLineEdit* MaskEdit1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;    // pitch
    QRadioButton* rbCompacta = nullptr;
    QRadioButton* rbNormal = nullptr;
    QGroupBox* GroupBox3 = nullptr;    // orientation, hidden at first
    QRadioButton* rbRetrato = nullptr;
    QRadioButton* rbPaisagem = nullptr;
    QLabel* Label2 = nullptr;          // "Impressora"
    QComboBox* ComboBox1 = nullptr;    // printers, then "VISUALIZAR"
    QComboBox* ComboBox2 = nullptr;    // hidden: the port of each printer
    QPushButton* btnOk = nullptr;      // "OK"

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    // Takes what the operator typed, runs the event through the error handler, then shows the
    // logic's state again (also after an error).
    void run(const std::function<void()>& event);
    void showState();

    ErrorHandler handler_;
    QPrinter printer_;
    std::unique_ptr<ecf::report::PrinterSource> ownPrinters_;
    std::unique_ptr<ecf::report::PrintDialogOpener> ownPrintDialog_;
    std::unique_ptr<ecf::report::TipoImpr> logic_;
};
