#pragma once
// What a launch hands to the system, decided without it: the command line an
// item's command and arguments make, the file its command names, and the
// system's limit on a command line.
#include <functional>
#include <string>

// Whether a path names an existing file or folder.
using TPathExistsFn = std::function<bool(const std::string& path)>;

// The command line for an item: Command, one blank, Params. A command that is
// not quoted, holds a blank and names an existing file or folder as a whole
// is quoted, so that the system can't read "C:\my progs\tool.exe" as C:\my
// with arguments and start a my.exe lying beside the folder. Every other
// command goes as it stands: its own quotes, or arguments after the program.
std::string LaunchCommandLine(const std::string& command, const std::string& params,
                              const TPathExistsFn& pathExists);

// The longest command line the system takes is 32,767 characters with its
// terminator. A double-byte character counts once, as it does in UTF-16.
constexpr std::string::size_type CommandLineLimit = 32767;
bool CommandLineFits(const std::string& line);

// A command as the shell is asked to open it: the file it names (the text
// inside its quotes when it begins with one, the whole command otherwise,
// without blanks around it) and what follows the quoted part.
struct TCommandParts {
    std::string File;
    std::string Args;
};
TCommandParts SplitCommand(const std::string& command);
