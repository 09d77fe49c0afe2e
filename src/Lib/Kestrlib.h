#pragma once
// The program's small utility library: aligned text in a rectangle, a file's
// small shell icon, and shell links.
#include <windows.h>

#include <string>

#include "Framework/Graphics.h"
#include "Lib/KestrlibPath.h"

// Draws one line of text inside rect, aligned by halign and valign (see
// TTextAlign), in the canvas's font and colours, with the ExtTextOut options
// given and rect as the clipping rectangle.
void DrawTextInRect(const std::string& text, const RECT& rect, int halign, TCanvas& canvas, UINT options,
                    int valign);

// The small icon the shell shows for an existing file, for the caller to
// destroy; nullptr when the shell can't describe the file.
HICON GetFileSmallIcon(const std::string& path);

// Saves a shell link at linkPath that starts target. An empty workDir is not
// set. COM must be initialised on the calling thread. False when the link
// could not be saved; also, without writing anything, when target,
// description or workDir have 260 bytes or more, or linkPath is longer than
// 259 characters.
bool CreateShellLink(const std::string& target, const std::string& linkPath, const std::string& description,
                     const std::string& workDir);

// The target path of the shell link file at linkPath, as the link stores it;
// empty when the file can't be read as a link. COM must be initialised on
// the calling thread.
std::string ShellLinkTarget(const std::string& linkPath);
