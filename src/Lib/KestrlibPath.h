#pragma once
// The decisions behind the list page's drawing, kept free of the platform so
// that they are tested natively: where aligned text starts, and how a long
// path is shortened to fit a cell.
#include <functional>
#include <string>

// Alignment codes of DrawTextInRect: 0 left / top, 1 right / bottom, 2 centre.
enum TTextAlign : int { taLeftTop = 0, taRightBottom = 1, taCentre = 2 };

struct TTextOrigin {
    int X;
    int Y;
};

// Where a text of the given size starts inside the rectangle. The halvings
// truncate toward zero, so a text wider than the rectangle starts left of it.
// An unknown alignment code counts as left / top.
TTextOrigin TextOriginInRect(int left, int top, int right, int bottom, int width, int height, int halign,
                             int valign);

// Width of a text in the font it will be drawn in.
using TTextWidthFunc = std::function<int(const std::string&)>;

// Shortens a path from the left, one folder at a time ("...\" stands for what
// went), until textWidth says it fits maxWidth. The drive goes after the
// folders, the file name is never cut, so the result may still be too wide.
std::string ShortenPath(const std::string& path, int maxWidth, const TTextWidthFunc& textWidth);
