#include "Controls/DbwinLayout.h"

#include <cstdio>
#include <memory>

#include "Framework/Exception.h"
#include "Framework/SysUtils.h"

namespace {

char debugBuffer[kDebugBufferSize];

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TDebugLine FormatDebugLine(const char* format, va_list args) {
    TDebugLine line;
    line.Count = std::vsnprintf(debugBuffer, sizeof debugBuffer, format, args);
    if (line.Count < 0) debugBuffer[0] = '\0';
    // Whatever the runtime did at the limit, the text ends inside the buffer.
    debugBuffer[kDebugBufferSize - 1] = '\0';
    line.TooLong = line.Count >= kDebugBufferSize;
    line.Text = debugBuffer;
    return line;
}

TDebugWindowBounds DockRight(int screenWidth, int screenHeight, int formWidth) {
    return TDebugWindowBounds{screenWidth - formWidth, 0, formWidth, screenHeight};
}

void SaveDebugText(const std::string& fileName, const std::string& text) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
    if (!file) throw EFCreateError(Format("ファイル %s を作成できません", fileName.c_str()));
    bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    // fclose flushes: a failure there is a failed write too.
    written = std::fclose(file.release()) == 0 && written;
    if (!written) throw Exception(Format("ファイル %s に書き込めません", fileName.c_str()));
}
