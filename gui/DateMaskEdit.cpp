#include "DateMaskEdit.h"

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
    QString t = QStringLiteral("  /  /    ");
    for (int i = 0; i < length && i < text.size(); ++i) {
        if (i == 2 || i == 5)
            continue;
        if (text[i].isDigit() && text[i].unicode() < 0x80)
            t[i] = text[i];
    }
    setText(t);
}
