#pragma once
// A masked date edit: two digits of day, two of month and four of year, the slashes kept.
// Its text is always 10 characters: positions left empty read as blanks ("  /  /    " when
// untouched, "01/12/2026" when complete); "_" marks them while editing.
#include <QLineEdit>

class DateMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int length = 10;
    explicit DateMaskEdit(QWidget* parent = nullptr);

    QString maskedText() const;
    // Takes the digits at the digit positions of `text`; any other character leaves its
    // position empty.
    void setMaskedText(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
};
