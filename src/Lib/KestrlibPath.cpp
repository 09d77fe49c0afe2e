#include "Lib/KestrlibPath.h"

#include "Framework/Locale.h"

TTextOrigin TextOriginInRect(int left, int top, int right, int bottom, int width, int height, int halign,
                             int valign) {
    auto place = [](int low, int high, int size, int align) {
        switch (align) {
            case taRightBottom: return high - size;
            case taCentre: return low + (high - low - size) / 2;
            default: return low;
        }
    };
    return TTextOrigin{place(left, right, width, halign), place(top, bottom, height, valign)};
}

namespace {

// Byte length of the first n characters of text (double-byte aware).
std::string::size_type CharsToBytes(const std::string& text, int n) {
    const TLocale& loc = Locale();
    std::string::size_type i = 0;
    for (; n > 0 && i < text.size(); --n)
        i += (loc.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    return i;
}

// Drops the first folder of a folder part: "\a\b\" gives "\...\b\",
// "...\b\" (what an earlier step left) gives "...\", "a\" gives "".
std::string DropFirstFolder(std::string folder) {
    if (folder == "\\") return std::string();
    std::string lead;
    if (!folder.empty() && folder[0] == '\\') {
        lead = "\\";
        folder.erase(0, 1);
    }
    if (!folder.empty() && folder[0] == '.') folder.erase(0, CharsToBytes(folder, 4));
    std::string::size_type sep = AnsiPos("\\", folder);
    folder = sep == std::string::npos ? std::string() : "...\\" + folder.substr(sep + 1);
    return lead + folder;
}

}  // namespace

std::string ShortenPath(const std::string& path, int maxWidth, const TTextWidthFunc& textWidth) {
    std::string::size_type split = LastDelimiter("\\:", path);
    std::string folder = split == std::string::npos ? std::string() : path.substr(0, split + 1);
    const std::string name = path.substr(folder.size());
    std::string drive;
    if (folder.size() >= 2 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    std::string result = path;
    while ((!folder.empty() || !drive.empty()) && textWidth(result) > maxWidth) {
        if (folder == "\\...\\") {
            drive.clear();
            folder = "...\\";
        } else if (folder.empty()) {
            drive.clear();
        } else {
            folder = DropFirstFolder(folder);
        }
        result = drive + folder + name;
    }
    return result;
}
