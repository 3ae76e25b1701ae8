#include "access/access_check.h"

#include "access/log_table.h"
#include "common/clock.h"
#include "common/operator_port.h"
#include "common/convert.h"
#include "common/text.h"
#include "data/table.h"

#include <optional>

namespace ecf::access {

namespace {

// What the password dialog accepts in its user fields (characters; the table code pages
// hold one byte per character).
constexpr std::size_t userCodeMaxLength = 6;
constexpr std::size_t userPasswordMaxLength = 8;


// Empties the caller's description strings on every way out of the check.
class ClearOnExit {
public:
    ClearOnExit(std::string& a, std::string& b, std::string& c) : a_(a), b_(b), c_(c) {}
    ~ClearOnExit()
    {
        a_.clear();
        b_.clear();
        c_.clear();
    }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

private:
    std::string& a_;
    std::string& b_;
    std::string& c_;
};

// A text typed in the dialog (UTF-8) in the code page of the table it is compared with.
std::string typed(const std::string& utf8, int codePage, std::size_t maxLength = std::string::npos)
{
    std::string bytes = common::fromUtf8(utf8, codePage);
    if (bytes.size() > maxLength)
        bytes.resize(maxLength);
    return bytes;
}

} // namespace

AccessCheck::AccessCheck(common::OperatorPort& op, const common::Clock& clock, data::Table& acesso)
    : op_(op), clock_(clock), acesso_(acesso)
{
}

bool AccessCheck::AutorizaAcesso(int operation)
{
    const ClearOnExit clear(currentOperation, currentTable, currentRecord);

    data::Table& acesso = acesso_;
    if (acesso.active())
        acesso.refresh();
    else
        acesso.open();

    if (!acesso.locateInteger("Codigo", operation))
        return true;
    const std::string conteudo = acesso.fieldByName("Conteudo").asString();
    if (common::trim(conteudo).empty())
        return true;

    // Showing the dialog: the month of the log, the user table, the user panel and, when the
    // operation asks for the user, the month's log table (created when missing).
    const std::string month = logMonth(clock_.now());
    data::Table tbUsu("Usuarios.db");
    const data::CloseOnExit closeUsu(tbUsu);
    tbUsu.open();

    const bool userPanel = common::upperCase(acesso.fieldByName("Inf_Usuario").asString()) == "S";
    std::optional<data::Table> tbLog;
    std::optional<data::CloseOnExit> closeLog;
    std::string descricao;
    if (userPanel) {
        descricao = acesso.fieldByName("Descricao").asString();
        tbLog.emplace(logTableName(month));
        closeLog.emplace(*tbLog);
        if (!tbLog->exists())
            tbLog->createTable(logTableFields());
        tbLog->open();
    }

    const common::PasswordEntry entry =
        op_.password("Entre com a senha " + std::to_string(operation), userPanel);
    if (!entry.ok)
        return false;

    const std::string senha = typed(entry.senha, acesso.codePage());
    if (common::upperCase(common::trim(conteudo)) != common::upperCase(common::trim(senha))) {
        op_.error("Senha invalida");
        return false;
    }
    if (!userPanel)
        return true;

    const std::string usuario = typed(entry.usuario, tbUsu.codePage(), userCodeMaxLength);
    if (!tbUsu.findKey({usuario})) {
        op_.message("Usuário não cadastrado!");
        return false;
    }
    const std::string senhaUsu = typed(entry.senhaUsuario, tbUsu.codePage(), userPasswordMaxLength);
    if (common::upperCase(tbUsu.fieldByName("Senha").asString()) != common::upperCase(senhaUsu)) {
        op_.message("A senha do usuário é inválida!");
        return false;
    }

    const std::string userCode = tbUsu.fieldByName("Codigo").asString();
    const std::string userLevel = tbUsu.fieldByName("Nivel").asString();
    appendLogRecord(*tbLog,
                    LogEntry{clock_.now(), currentTable, descricao, currentRecord, currentOperation, userCode});
    tbLog->close();
    currentUserCode = userCode;
    currentUserLevel = userLevel;
    return true;
}

} // namespace ecf::access
