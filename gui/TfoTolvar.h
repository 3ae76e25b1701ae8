#pragma once
// TfoTolvar, the main window: the pending coupon's number, "Imprimir", "Fechar" and
// "Utilitários". The logic is the core's MainWindow; this class shows its state.
#include <QWidget>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;
class QShowEvent;

namespace ecf::app {
class Application;
class MainWindow;
}

class TfoTolvar : public QWidget {
    Q_OBJECT
public:
    explicit TfoTolvar(ecf::app::Application& app, QWidget* parent = nullptr);

    // Shows the captions and the state of Button1 as the logic holds them.
    void refresh();

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

signals:
    // The window is closing, before its close handler runs: the windows opened from it go first.
    void closing();
    // The window has closed (its close handler has run): the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void click(void (ecf::app::MainWindow::*handler)());

    ecf::app::Application& app_;
    bool started_ = false;
    bool closeHandled_ = false;
};
