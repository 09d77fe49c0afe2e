#include "App/LaunchLogic.h"

#include "Framework/Locale.h"

namespace {

// Blanks and quotes are single bytes that no trail byte of the ANSI code page
// takes, so they are found byte by byte.
std::string Trim(const std::string& text) {
    const std::string::size_type first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string LaunchCommandLine(const std::string& command, const std::string& params,
                              const TPathExistsFn& pathExists) {
    const bool quote = !command.empty() && command.front() != '"' && command.find(' ') != std::string::npos &&
                       pathExists(command);
    return (quote ? "\"" + command + "\"" : command) + " " + params;
}

bool CommandLineFits(const std::string& line) {
    const TLocale& locale = Locale();
    std::string::size_type chars = 0;
    for (std::string::size_type i = 0; i < line.size(); ++i, ++chars)
        if (locale.IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size()) ++i;
    return chars < CommandLineLimit;
}

TCommandParts SplitCommand(const std::string& command) {
    const std::string text = Trim(command);
    if (text.empty() || text.front() != '"') return TCommandParts{text, std::string()};
    const std::string::size_type close = text.find('"', 1);
    if (close == std::string::npos) return TCommandParts{Trim(text.substr(1)), std::string()};
    return TCommandParts{Trim(text.substr(1, close - 1)), Trim(text.substr(close + 1))};
}
