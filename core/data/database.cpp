#include "data/stored_value.h"
#include "data/table.h"

#include "common/errors.h"
#include "common/text.h"

#include <cstdlib>
#include <system_error>

namespace ecf::data {

using common::DatabaseError;

using detail::lowerAscii;

const char* const Database::kWhatToDo =
    "Defina VANTIS_DIR com a pasta do banco de dados do sistema de vendas (as tabelas .DB) ou, para "
    "experimentar, crie uma de demonstração com: ecf-cli make-demo PASTA";

std::filesystem::path Database::folder()
{
    const char* dir = std::getenv("VANTIS_DIR");
    if (dir == nullptr || *dir == '\0')
        throw DatabaseError("Alias \"VANTIS\" is not available: the environment variable VANTIS_DIR is not set. " +
                            std::string(kWhatToDo));
    std::error_code ec;
    const std::filesystem::path p(dir);
    if (!std::filesystem::is_directory(p, ec))
        throw DatabaseError("Alias \"VANTIS\" is not available: the folder \"" + p.string() +
                            "\" named by VANTIS_DIR does not exist. " + kWhatToDo);
    return p;
}

std::filesystem::path Database::tablePath(const std::string& tableName)
{
    const std::filesystem::path dir = folder();
    if (tableName.empty() || tableName.find('/') != std::string::npos || tableName.find('\\') != std::string::npos ||
        tableName == "." || tableName == ".." || tableName.find('\0') != std::string::npos)
        throw DatabaseError("Invalid table name: \"" + common::latin1ToUtf8(tableName) + "\"");
    std::string file = tableName;
    if (!std::filesystem::path(file).has_extension())
        file += ".DB";
    const std::filesystem::path exact = dir / file;
    std::error_code ec;
    if (std::filesystem::exists(exact, ec))
        return exact;
    const std::string wanted = lowerAscii(file);
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (lowerAscii(name) == wanted)
            return it->path();
    }
    if (ec)
        throw DatabaseError("Alias \"VANTIS\" is not available: the folder \"" + dir.string() +
                            "\" named by VANTIS_DIR cannot be read (" + ec.message() + ")");
    return exact;
}

bool Database::tableExists(const std::string& tableName)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(tablePath(tableName), ec);
}

} // namespace ecf::data
