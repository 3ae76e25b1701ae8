#include "access/log_table.h"

#include "data/table.h"

#include <cstdint>
#include <cstdio>

namespace ecf::access {

namespace {

// Days from 1 January 1970 of a date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void setText(data::Table& log, const char* field, const std::string& bytes)
{
    data::Field f = log.fieldByName(field);
    std::string value = bytes;
    for (const auto& def : log.fieldDefs())
        if (def.name == f.name() && def.type == data::px::FieldType::Alpha && def.size > 0 &&
            value.size() > static_cast<std::size_t>(def.size))
            value.resize(static_cast<std::size_t>(def.size));
    f.setString(value);
}

} // namespace

std::string logMonth(const common::DateTime& now)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d%02d", ((now.year % 100) + 100) % 100, ((now.month % 100) + 100) % 100);
    return buf;
}

std::string logTableName(const std::string& month)
{
    return "Log" + month;
}

std::vector<data::px::FieldDef> logTableFields()
{
    using data::px::FieldType;
    return {
        {"DataHora", FieldType::Timestamp, 8, 0},
        {"Tabela", FieldType::Alpha, 20, 0},
        {"Acesso", FieldType::Alpha, 30, 0},
        {"Registro", FieldType::Alpha, 100, 0},
        {"Operacao", FieldType::Alpha, 1, 0},
        {"Usuario", FieldType::Alpha, 6, 0},
    };
}

data::px::Value paradoxTimestamp(const common::DateTime& t)
{
    // The engine counts days with 1 January 0001 as day 1, and a timestamp in milliseconds
    // on the same count.
    const std::int64_t day = daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) -
                             daysFromCivil(1, 1, 1) + 1;
    const std::int64_t msOfDay =
        ((static_cast<std::int64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
    return data::px::Value::timestamp(static_cast<double>(day * 86400000LL + msOfDay));
}

void appendLogRecord(data::Table& log, const LogEntry& entry)
{
    log.append();
    log.fieldByName("DataHora").setValue(paradoxTimestamp(entry.when));
    setText(log, "Tabela", entry.tabela);
    setText(log, "Acesso", entry.acesso);
    setText(log, "Registro", entry.registro);
    setText(log, "Operacao", entry.operacao);
    setText(log, "Usuario", entry.usuario);
    log.post();
}

} // namespace ecf::access
