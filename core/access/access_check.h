#pragma once
// The access check AutorizaAcesso and the logic of its password dialog TFormSenha: the
// operation password from Acesso.db, the user check against Usuarios.db, and the monthly
// access log "Log" + YYMM.
#include <cstdint>
#include <string>

namespace ecf::common {
class Clock;
class OperatorPort;
}
namespace ecf::data {
class Table;
}

namespace ecf::access {

class AccessCheck {
public:
    // acesso: the data module's access table TAcesso, opened here when it is not open.
    AccessCheck(common::OperatorPort& op, const common::Clock& clock, data::Table& acesso);

    // True when the operation may proceed. Shows its own dialog and messages.
    bool AutorizaAcesso(int operation);

    // Process-wide strings of the check.
    std::string currentUserCode;   // set when a user is identified
    std::string currentUserLevel;
    std::string currentTable;      // a caller may describe what is being done; cleared on return
    std::string currentRecord;
    std::string currentOperation;

private:
    common::OperatorPort& op_;
    const common::Clock& clock_;
    data::Table& acesso_;
};

} // namespace ecf::access
