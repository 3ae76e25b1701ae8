#pragma once
// TfoBobina, the paper tape of the emulated printer: each line as the printer prints it, in a
// fixed-pitch font at the printer's width. It is shown only while the configured model runs on
// the emulator, and it stays open after the main window closes, so the coupon can be read.
#include <QWidget>

class QCloseEvent;
class QPlainTextEdit;

namespace ecf::printer {
class Printer;
}

class TfoBobina : public QWidget {
    Q_OBJECT
public:
    // Columns of the printed line.
    static constexpr int kColumns = 48;

    explicit TfoBobina(ecf::printer::Printer& printer, QWidget* parent = nullptr);
    ~TfoBobina() override;

    // Shows the window beside `anchor` (moving it aside when the screen is narrow) when the
    // configured model runs on the emulator.
    void showIfEmulated(QWidget* anchor);
    // The lines shown, one a line.
    QString text() const;

    QPlainTextEdit* Memo = nullptr;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void append(const std::string& utf8);

    ecf::printer::Printer& printer_;
    QWidget* anchor_ = nullptr;
};
