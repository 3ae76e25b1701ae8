#pragma once
// The operator port: the only way the core reaches a person. Every box, question, the
// password dialog and the windows' states go through it. The desktop program answers with Qt
// message boxes, ecf-cli with standard input and output, tests with a scripted operator, and
// the trace is a decorator around any of them.
//
// All texts here are UTF-8 (texts taken from tables are converted from their code page
// before they reach this port).
#include <string>
#include <vector>

namespace ecf::common {

enum class Answer { Yes, No, Close }; // Close: the box was closed without an answer

struct PasswordEntry {
    bool ok = false;           // the dialog ended with OK (false: Cancel or closed)
    std::string senha;         // EdSenha: the operation password, exactly as typed
    std::string usuario;       // edUsuario: the user code (user panel only)
    std::string senhaUsuario;  // edSenhaUsu: the user's password (user panel only)
};

// What the main window shows when its show handler ends.
struct MainWindowState {
    std::string label1;        // caption of Label1
    std::string button1;       // caption of Button1
    bool button1Enabled = true;
};

// The windows the core may ask the front end to show or close.
enum class Window {
    UtilEcf,                    // TfoUtilEcf
    MostraFormasPagamentoECF,   // the payment-form listing
    RelMemoriaFiscal,           // the fiscal-memory window
};

class OperatorPort {
public:
    virtual ~OperatorPort() = default;

    virtual void message(const std::string& text) = 0;   // plain box, OK button
    virtual void info(const std::string& text) = 0;      // information box, OK button
    virtual void error(const std::string& text) = 0;     // error box, OK button
    // The application's default error handler showing an error that ended a handler.
    virtual void exception(const std::string& text) = 0;
    virtual Answer confirm(const std::string& text) = 0; // Yes/No box
    // The password dialog TFormSenha, modal. caption: "Entre com a senha 1".
    virtual PasswordEntry password(const std::string& caption, bool userPanel) = 0;

    // Window states, for the front end and the trace.
    virtual void mainShown(const MainWindowState& state) = 0;
    virtual void listShown(const std::vector<std::string>& items) = 0; // TfoMostraFormasPagamentoECF

    // A handler asks for a window to be shown (not modal) or closed. Showing runs the window's
    // show handler at once, inside the call (as the toolkit does), so an error raised there
    // ends the handler that asked; closing a window destroys it where the window says so.
    virtual void showWindow(Window window) = 0;
    virtual void closeWindow(Window window) = 0;
};

} // namespace ecf::common
