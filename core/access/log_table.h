#pragma once
// The monthly access log: one table per calendar month, "Log" + YYMM, in the host database,
// with one record per identified access.
#include "common/clock.h"
#include "data/paradox/px.h"

#include <string>
#include <vector>

namespace ecf::data {
class Table;
}

namespace ecf::access {

// "YYMM" of a date: two-digit year, then two-digit month ("2612" for December 2026).
std::string logMonth(const common::DateTime& now);
// "Log" + YYMM.
std::string logTableName(const std::string& month);

// The fields of a new month's table, in their order: DataHora (date-time), Tabela (20),
// Acesso (30), Registro (100), Operacao (1), Usuario (6).
std::vector<data::px::FieldDef> logTableFields();

// A date and time as the Paradox engine stores a timestamp.
data::px::Value paradoxTimestamp(const common::DateTime& t);

struct LogEntry {
    common::DateTime when;
    std::string tabela;    // bytes in the table's code page
    std::string acesso;
    std::string registro;
    std::string operacao;
    std::string usuario;
};

// Appends and posts one record to the open log table. A text longer than its field is cut to
// the field's length, as the host's engine does when a field is assigned.
void appendLogRecord(data::Table& log, const LogEntry& entry);

} // namespace ecf::access
