#pragma once
// Reads a trace file back for tests: one nlohmann::json per line.
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ecf::test {

inline std::vector<nlohmann::json> readTrace(const std::filesystem::path& file)
{
    std::vector<nlohmann::json> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(nlohmann::json::parse(line));
    return lines;
}

// Only the "call" lines.
inline std::vector<nlohmann::json> readCalls(const std::filesystem::path& file)
{
    std::vector<nlohmann::json> calls;
    for (auto& l : readTrace(file))
        if (l.value("ev", "") == "call")
            calls.push_back(std::move(l));
    return calls;
}

// "fn(arg, arg, ...)" for each call line, arguments as JSON: handy for comparing sequences.
inline std::vector<std::string> callSignatures(const std::filesystem::path& file)
{
    std::vector<std::string> out;
    for (const auto& c : readCalls(file)) {
        std::string s = c["fn"].get<std::string>() + "(";
        bool first = true;
        for (const auto& a : c["args"]) {
            if (!first)
                s += ", ";
            s += a.dump();
            first = false;
        }
        out.push_back(s + ")");
    }
    return out;
}

} // namespace ecf::test
