#include "DesktopConventions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTranslator>

namespace ecf::gui {

namespace {

// Enter (Return or the keypad's) on a focused push button clicks it. A push button that is
// a dialog's default or auto-default already takes Enter itself, and is left to do so.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || button->autoDefault() || button->isDefault() || !button->isEnabled()
            || !button->isVisible())
            return false;
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

} // namespace

bool applyDesktopConventions(QApplication& app)
{
    static QPointer<QApplication> appliedTo;
    static bool translated = false;
    if (appliedTo == &app)
        return translated;
    appliedTo = &app;

    app.installEventFilter(new EnterPressesButton(&app));

    translated = false;
    const QString language = QString::fromLatin1(kQtLanguage);
    if (language.isEmpty())
        return true;
    QLocale::setDefault(QLocale(language));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(translator);
        translated = true;
    } else {
        delete translator;
    }
    return translated;
}

} // namespace ecf::gui
