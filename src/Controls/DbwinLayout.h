#pragma once
// What the debug window decides without a window: the shared formatting
// buffer and its overflow rule, where the window docks, and how its lines
// are written to a file.
#include <cstdarg>
#include <string>

#include "Framework/Types.h"

// One buffer for every debug window of the process: 16383 characters and the
// terminating zero.
constexpr int DebugBufferSize = 16384;

struct TDebugLine {
    // What the format produced in full (negative when the format is broken).
    int Count = 0;
    // Count reached the buffer's size: only the first DebugBufferSize - 1
    // characters are in Text.
    bool TooLong = false;
    // The shared buffer, always zero-terminated; valid until the next call.
    const char* Text = nullptr;
};

// Formats into the shared buffer, never past its end.
TDebugLine FormatDebugLine(const char* format, va_list args);

// Docked to the right edge of the screen, from its top to its bottom.
TRect DockRight(int screenWidth, int screenHeight, int formWidth);

// Writes text to the file, replacing it. A file that cannot be created
// raises EFCreateError "ファイル %s を作成できません".
void SaveDebugText(const std::string& fileName, const std::string& text);
