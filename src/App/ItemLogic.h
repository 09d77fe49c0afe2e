#pragma once
// What the item editor decides, kept apart from its window so that it can be
// checked without one.
#include <cstdint>
#include <string>
#include <vector>

// The keys the editor offers, in list order: A to Z, then F1 to F12.
const std::vector<std::uint16_t>& ItemKeyCodes();

// The key list position of the key a stored shortcut text names, or -1 when
// the list does not offer that key.
int KeyIndexForShortCut(const std::string& shortCut);

// Why the dialog may not close with OK: the message of the first missing
// entry (key, then name, then program), or the empty text when all are there.
// Only empty texts count as missing; blanks are an entry.
std::string ItemCloseProblem(const std::string& keyText, const std::string& name, const std::string& command);

// What choosing a program in the open-file dialog puts into the editor.
struct TChosenProgram {
    std::string Command;  // the full path as chosen
    std::string Name;     // the file name without its folder and last extension
    std::string Path;     // the folder, with its trailing separator
};
TChosenProgram ChosenProgramFields(const std::string& fileName);

// The choices of the open-file dialog for the program.
extern const char* const ProgramFilter;

// The help topic of the editor, beside the program's executable.
std::string ItemHelpTopic(const std::string& exeName);
