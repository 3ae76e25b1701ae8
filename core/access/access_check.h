#pragma once
// The access check AutorizaAcesso and the logic of its password dialog TFormSenha: the
// operation password from Acesso.db, the user check against Usuarios.db, and the monthly
// access log "Log" + YYMM.
#include <cstdint>
#include <string>

namespace ecf::app {
class Application;
}

namespace ecf::access {

class AccessCheck {
public:
    explicit AccessCheck(app::Application& app);

    // True when the operation may proceed. Shows its own dialog and messages.
    bool AutorizaAcesso(int operation);

    // Process-wide strings of the check.
    std::string currentUserCode;   // set when a user is identified
    std::string currentUserLevel;
    std::string currentTable;      // a caller may describe what is being done; cleared on return
    std::string currentRecord;
    std::string currentOperation;

private:
    app::Application& app_;
};

} // namespace ecf::access
