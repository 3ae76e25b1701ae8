#pragma once
// TfoQtdCopias, "Quantidade de Copias": the number of copies of a report (1 to 99). Created at
// start and kept for the whole run; a caller shows it modally (exec()) and then reads the
// report settings.
#include "report/qtd_copias.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;

namespace ecf::app {
class Application;
}

class TfoQtdCopias : public QDialog {
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(const std::function<void()>&)>;

    // The program's dialog on the process-wide report settings.
    explicit TfoQtdCopias(ecf::app::Application& app, QWidget* parent = nullptr);
    TfoQtdCopias(ecf::report::ReportSettings& settings, ErrorHandler handler, QWidget* parent = nullptr);

    ecf::report::QtdCopias& logic() { return logic_; }

    QLabel* Label1 = nullptr;          // "Quantidade de Copias"
    QSpinBox* spnQtdCopias = nullptr;
    QPushButton* btnOk = nullptr;      // "OK"

protected:
    void showEvent(QShowEvent* event) override;

private:
    ErrorHandler handler_;
    ecf::report::QtdCopias logic_;
};
