#include "TfoBobina.h"

#include "WindowSupport.h"
#include "printer/emulated_printer.h"
#include "printer/printer.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

TfoBobina::TfoBobina(ecf::printer::Printer& printer, QWidget* parent)
    : QWidget(parent, Qt::Window), printer_(printer)
{
    setObjectName("foBobina");
    setWindowTitle("Bobina");
    setAttribute(Qt::WA_ShowWithoutActivating); // the keyboard stays with the cashier's window

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName("Memo");
    Memo->setReadOnly(true);
    Memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Lines come at most kColumns wide; should the font's width differ, a line still goes on in
    // the next at the last column, as on paper, not at a word.
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setWordWrapMode(QTextOption::WrapAnywhere);
    // Read, not edited: the keys of reading (arrows, Page Up/Down, Ctrl+Home/End) scroll it.
    Memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setStyleSheet("QPlainTextEdit { background: #fffdf5; color: #202020; }");

    // Exactly kColumns characters wide, whatever the font.
    const QFontMetrics metrics(Memo->font());
    const int text = metrics.horizontalAdvance(QString(kColumns, QLatin1Char('0')));
    const int margins = 2 * static_cast<int>(Memo->document()->documentMargin()) + 2 * Memo->frameWidth()
        + Memo->verticalScrollBar()->sizeHint().width() + 2;
    Memo->setFixedWidth(text + margins);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Memo);
    resize(Memo->width() + 12, 420);

    for (const std::string& line : printer_.emulated().tape)
        append(line);
    printer_.emulated().onLine = [this](const std::string& line) {
        append(line);
        if (!isVisible() && printer_.runsOnEmulator())
            showIfEmulated(anchor_);
    };
}

TfoBobina::~TfoBobina() { printer_.emulated().onLine = nullptr; }

void TfoBobina::showIfEmulated(QWidget* anchor)
{
    anchor_ = anchor;
    if (!printer_.runsOnEmulator())
        return;
    if (!isVisible()) {
        const QScreen* screen = anchor ? anchor->screen() : nullptr;
        if (anchor && anchor->isVisible() && screen) {
            // Beside the main window, on the side where it fits; when neither side has room,
            // the two windows move to stand side by side in the middle of the screen.
            const QRect area = screen->availableGeometry();
            QRect frame = anchor->frameGeometry();
            int x = frame.right() + 8;
            if (x + width() > area.right()) {
                if (frame.left() - 8 - width() >= area.left()) {
                    x = frame.left() - 8 - width();
                } else if (frame.width() + 8 + width() <= area.width()) {
                    anchor->move(area.center().x() - (frame.width() + 8 + width()) / 2, frame.top());
                    frame = anchor->frameGeometry();
                    x = frame.right() + 8;
                }
            }
            x = std::clamp(x, area.left(), std::max(area.left(), area.right() - width()));
            const int y = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - height()));
            move(x, y);
        } else {
            ecf::gui::centreOnScreen(*this);
        }
        show(); // beside the main window, without taking the focus from it
    }
}

QString TfoBobina::text() const { return Memo->toPlainText(); }

void TfoBobina::append(const std::string& utf8)
{
    Memo->appendPlainText(QString::fromStdString(utf8));
    Memo->verticalScrollBar()->setValue(Memo->verticalScrollBar()->maximum());
    // Each line shows as it is printed, even while the printing handler holds the event loop.
    if (Memo->isVisible())
        Memo->viewport()->repaint();
}

void TfoBobina::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}
