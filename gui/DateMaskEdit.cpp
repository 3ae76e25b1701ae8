#include "DateMaskEdit.h"

#include <QFocusEvent>

DateMaskEdit::DateMaskEdit(QWidget* parent) : QLineEdit(parent)
{
    setInputMask("00/00/0000;_");
    setMaxLength(length);
}

QString DateMaskEdit::maskedText() const
{
    QString t = displayText();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    if (t.size() < length)
        t = t.leftJustified(length, QLatin1Char(' '));
    return t.left(length);
}

void DateMaskEdit::setMaskedText(const QString& text)
{
    QString t = QStringLiteral("__/__/____"); // "_": the mask's empty position
    for (int i = 0; i < length && i < text.size(); ++i) {
        if (i == 2 || i == 5)
            continue;
        if (text[i].isDigit() && text[i].unicode() < 0x80)
            t[i] = text[i];
    }
    setText(t);
}

void DateMaskEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // An empty date is typed from its first position.
    if (maskedText().trimmed() == QStringLiteral("/  /"))
        setCursorPosition(0);
}
