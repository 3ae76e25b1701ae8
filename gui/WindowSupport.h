#pragma once
// Small pieces the windows share: centring on the screen, and running a window's show
// handler either for the toolkit (through the application's error handler) or for a handler
// that asked for the window (where an error must end that handler).
#include <QWidget>

#include <exception>
#include <functional>

namespace ecf::app {
class Application;
}

namespace ecf::gui {

// Moves a top-level window to the centre of its screen (of the primary screen when it has none).
void centreOnScreen(QWidget& window);

class ShowHandler {
public:
    explicit ShowHandler(ecf::app::Application& app) : app_(app) {}

    // From the window's show event. When a handler asked for the window (show() below) the
    // error of the show handler is kept for it; otherwise the application's error handler
    // shows it.
    void onShowEvent(const std::function<void()>& handler);

    // Shows `window` for a running handler and raises there any error of its show handler.
    // A window already shown is brought to the front; its show handler runs again only when
    // `rerunWhenVisible` is set.
    void show(QWidget& window, bool rerunWhenVisible, const std::function<void()>& handler);

private:
    ecf::app::Application& app_;
    bool forHandler_ = false;
    std::exception_ptr error_;
};

} // namespace ecf::gui
