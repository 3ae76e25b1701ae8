#include "WindowSupport.h"

#include "app/application.h"

#include <QGuiApplication>
#include <QScreen>

#include <utility>

namespace ecf::gui {

void centreOnScreen(QWidget& window)
{
    QScreen* screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

void ShowHandler::onShowEvent(const std::function<void()>& handler)
{
    if (!forHandler_) {
        app_.handle(handler);
        return;
    }
    // The toolkit cannot carry an error through its event dispatch: keep it for show().
    try {
        handler();
    } catch (...) {
        error_ = std::current_exception();
    }
}

void ShowHandler::show(QWidget& window, bool rerunWhenVisible, const std::function<void()>& handler)
{
    error_ = nullptr;
    if (window.isVisible()) {
        window.raise();
        window.activateWindow();
        if (rerunWhenVisible)
            handler(); // errors go straight to the handler that asked
        return;
    }
    forHandler_ = true;
    window.show();
    forHandler_ = false;
    window.raise();
    window.activateWindow();
    if (auto e = std::exchange(error_, nullptr))
        std::rethrow_exception(e);
}

} // namespace ecf::gui
