#pragma once
// Whole-file reading and replacing for the settings store.
#include <string>

// Reads the whole file into Data. False, with Data empty, when the file (or its
// folder) does not exist; any other failure raises EFOpenError
// "ファイル %s を開けません", so that a file that is there but can't be read is
// never taken for an empty one and overwritten later.
bool ReadWholeFile(const std::string& FileName, std::string& Data);

// Puts Data in the place of FileName in one step: the text goes to a new file
// in the same folder (FileName + ".tmp"), is flushed to the disk, and then
// replaces FileName. Readers see the old file or the new one, never a torn,
// empty or half-written one. A FileName that is a symbolic link, or that is
// reached through one or a junction, is written where it finally points: the
// temporary file goes beside that file and replaces it, and the link stays a
// link. A file with other hard links gets a new file of its own under
// FileName; the other names keep the previous contents, since only a write in
// place could reach them, and that could leave a torn file. On failure the temporary file is removed, FileName
// keeps its previous contents, and EFCreateError "ファイル %s を作成できません"
// is raised with FileName; that text is the platform's and names no cause, so
// the system's code of the step that failed (creating, writing, flushing,
// closing or renaming) is left in GetLastError (errno off Windows).
void ReplaceWholeFile(const std::string& FileName, const std::string& Data);

// The name of the temporary file ReplaceWholeFile writes first.
std::string ReplacementFileName(const std::string& FileName);
