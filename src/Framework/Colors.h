#pragma once
// Colour values as controls and drawing code hold them. Needs no Windows
// header, so that portable drawing decisions can name the same colours.

// An RGB value (0x00BBGGRR) or, with the top bit set, a system colour index.
using TColor = int;
constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clNone = 0x1FFFFFFF;
// The system colour indexes (COLOR_WINDOW = 5, ... COLOR_BTNHIGHLIGHT = 20).
constexpr TColor clWindow = SysColor(5);
constexpr TColor clWindowText = SysColor(8);
constexpr TColor clHighlight = SysColor(13);
constexpr TColor clHighlightText = SysColor(14);
constexpr TColor clBtnFace = SysColor(15);
constexpr TColor clBtnShadow = SysColor(16);
constexpr TColor clBtnHighlight = SysColor(20);
