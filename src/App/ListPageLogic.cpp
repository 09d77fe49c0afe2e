#include "App/ListPageLogic.h"

#include <algorithm>

#include "Framework/SysUtils.h"

namespace {

const char* const HeaderTexts[] = {"", "名称", "ショートカット", "プログラム", "実行時引数", "作業フォルダ", "ID"};
constexpr int ColumnCount = static_cast<int>(sizeof HeaderTexts / sizeof HeaderTexts[0]);

constexpr int ColName = 1;
constexpr int ColShortCut = 2;
constexpr int ColCommand = 3;
constexpr int ColPath = 5;
constexpr int ColId = 6;

}  // namespace

TCellPlan PlanCell(int col, int row, int itemCount, const TCellTextFn& cellText) {
    TCellPlan plan;
    if (col < 0 || row < 0) return plan;
    if (row == 0) {
        plan.Draw = true;
        plan.Text = col < ColumnCount ? HeaderTexts[col] : "";
        plan.HAlign = taCentre;
        return plan;
    }
    if (col == 0) {
        plan.Draw = true;
        plan.Text = IntToStr(row);
        plan.HAlign = taCentre;
        return plan;
    }
    if (row - 1 >= itemCount) return plan;
    plan.Draw = true;
    plan.Text = cellText(col, row);
    plan.Icon = col == ColName;
    if (col == ColShortCut || col == ColId) plan.HAlign = taCentre;
    plan.ShortenPath = col == ColCommand || col == ColPath;
    return plan;
}

std::string CellHint(int col, int row, int itemCount, const TCellTextFn& cellText) {
    if (col < 0 || row < 1 || row - 1 >= itemCount) return std::string();
    return cellText(col, row);
}

int MoveTarget(int index, int count, int delta) {
    if (index < 0 || index >= count) return -1;
    const int target = index + delta;
    return target >= 0 && target < count ? target : -1;
}

bool ReleaseItemHotKey(LaunchItem& item, const TItemRegistrar& registrar) {
    if (item.HotKeyId < 0) return true;
    if (!registrar.Delete(item.HotKeyId)) return false;
    item.HotKeyId = -1;
    return true;
}

int RegisterItemHotKey(LaunchItem& item, int id, const TItemRegistrar& registrar) {
    const ShortCutCode code = TextToShortCut(item.ShortCut);
    item.HotKeyId = id;
    const int result = registrar.Add(id, code);
    if (result != 0) item.HotKeyId = -1;
    return result;
}

int LowestFreeHotKeyId(std::vector<int> ItemIds) {
    std::sort(ItemIds.begin(), ItemIds.end());
    int candidate = 0;
    for (int id : ItemIds) {
        if (id > candidate) break;
        if (id == candidate) ++candidate;
    }
    return std::min(candidate, HotKeyIdBound);
}
