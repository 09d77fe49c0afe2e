#include "Controls/DbwinLayout.h"

#include <cstdio>

#include "Framework/Exception.h"
#include "Framework/Handles.h"
#include "Framework/SysUtils.h"

namespace {

char debugBuffer[DebugBufferSize];

}  // namespace

TDebugLine FormatDebugLine(const char* format, va_list args) {
    TDebugLine line;
    line.Count = std::vsnprintf(debugBuffer, sizeof debugBuffer, format, args);
    if (line.Count < 0) debugBuffer[0] = '\0';
    // Whatever the runtime did at the limit, the text ends inside the buffer.
    debugBuffer[DebugBufferSize - 1] = '\0';
    line.TooLong = line.Count >= DebugBufferSize;
    line.Text = debugBuffer;
    return line;
}

TRect DockRight(int screenWidth, int screenHeight, int formWidth) {
    return TRect{screenWidth - formWidth, 0, screenWidth, screenHeight};
}

void SaveDebugText(const std::string& fileName, const std::string& text) {
    TStdFile file(std::fopen(fileName.c_str(), "wb"));
    if (!file) throw EFCreateError(Format("ファイル %s を作成できません", fileName.c_str()));
    bool written = std::fwrite(text.data(), 1, text.size(), file.Get()) == text.size();
    // fclose flushes: a failure there is a failed write too.
    written = file.Close() && written;
    if (!written) throw Exception(Format("ファイル %s に書き込めません", fileName.c_str()));
}
