#include "App/ItemLogic.h"

#include "Framework/SysUtils.h"
#include "Hotkey/ShortCut.h"

const char* const ProgramFilter = "プログラム(*.EXE)|*.EXE|すべてのファイル (*.*)|*.*";

const std::vector<std::uint16_t>& ItemKeyCodes() {
    static const std::vector<std::uint16_t> codes = [] {
        std::vector<std::uint16_t> c;
        for (std::uint16_t vk = 0x41; vk <= 0x5A; ++vk) c.push_back(vk);
        for (std::uint16_t vk = 0x70; vk <= 0x7B; ++vk) c.push_back(vk);
        return c;
    }();
    return codes;
}

int KeyIndexForShortCut(const std::string& shortCut) {
    std::uint16_t key = 0;
    ShiftKeys shift;
    SplitShortCut(TextToShortCut(shortCut), key, shift);
    const std::vector<std::uint16_t>& codes = ItemKeyCodes();
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == key) return static_cast<int>(i);
    return -1;
}

std::string ItemCloseProblem(const std::string& keyText, const std::string& name, const std::string& command) {
    if (keyText.empty()) return "ショートカットキーが定義されていません。";
    if (name.empty()) return "名前が定義されていません。";
    if (command.empty()) return "プログラムが定義されていません。";
    return std::string();
}

TChosenProgram ChosenProgramFields(const std::string& fileName) {
    return TChosenProgram{fileName, ChangeFileExt(ExtractFileName(fileName), ""), ExtractFilePath(fileName)};
}

std::string ItemHelpTopic(const std::string& exeName) { return ExtractFilePath(exeName) + "kyvane.chm::/item.htm"; }
