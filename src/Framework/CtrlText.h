#pragma once
// Text rules of the standard controls that need no window: file-dialog
// filters, the lines of a memo, what a one-line box keeps of pasted text,
// the access key of a caption.
#include <string>
#include <vector>

// "desc|pattern|desc|pattern" as the file dialogs want it: each part ended by
// a zero byte and the whole ended by a second one. Only a "|" that stands on a
// character boundary separates (a double-byte character's trail byte may be
// 0x7C). An empty filter gives an empty text (no filter at all).
std::string FilterToDoubleZero(const std::string& filter);

// The lines of a memo's text (lines end with CR LF; a last line without one
// counts, the empty rest after a final CR LF does not).
std::vector<std::string> TextLines(const std::string& text);
// What to insert at the end of text so that line becomes its new last line,
// ended by CR LF like every line before it.
std::string LineAppendPiece(const std::string& text, const std::string& line);
// Lines joined into a memo's text, each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// The part of text before its first CR or LF.
std::string FirstLine(const std::string& text);

// Whether key is the access key of caption: the character after a single "&"
// ("&&" shows one "&"), letters compared without regard to case.
bool IsAccel(char key, const std::string& caption);

// Reads typed characters that come one byte at a time (WM_CHAR brings a
// double-byte character as its lead byte, then its trail byte).
class TCharReader {
public:
    // True when c is a whole single-byte character; false for either byte
    // of a double-byte one.
    bool Whole(unsigned char c);

private:
    bool FTrailNext = false;
};
