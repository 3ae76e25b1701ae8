#pragma once
// TfoRelMemoriaFiscal: the fiscal-memory reading for a range of dates. It lives for the whole
// run and keeps the dates typed last time.
#include <QWidget>

class DateMaskEdit;
class QLabel;
class QPushButton;

namespace ecf::app {
class Application;
}

class TfoRelMemoriaFiscal : public QWidget {
    Q_OBJECT
public:
    explicit TfoRelMemoriaFiscal(ecf::app::Application& app, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    DateMaskEdit* MaskEdit1 = nullptr;
    QLabel* Label2 = nullptr;
    DateMaskEdit* MaskEdit2 = nullptr;
    QPushButton* Button1 = nullptr; // "OK"
    QPushButton* Button2 = nullptr; // "Fechar"

private:
    void takeDates();

    ecf::app::Application& app_;
};
