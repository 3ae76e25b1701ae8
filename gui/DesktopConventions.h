#pragma once
// What the desktop program expects of the toolkit in every window, set once on the
// application: Qt's standard boxes and dialogs (Yes/No, the print dialog) speak Brazilian
// Portuguese whatever the system's language, and Enter presses the focused button as Space does.
class QApplication;

namespace ecf::gui {

// The language of Qt's own texts. Another of Qt's translation codes ("es", "de", ...) changes it;
// an empty code keeps Qt's built-in English.
inline constexpr const char* kQtLanguage = "pt_BR";

// Loads Qt's translation for kQtLanguage and installs the Enter key on buttons. Safe to call
// more than once. False when the translation file was not found (the boxes stay in English).
bool applyDesktopConventions(QApplication& app);

} // namespace ecf::gui
