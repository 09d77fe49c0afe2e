#pragma once
// Text and path routines the windows and units share.
#include <cstdarg>
#include <string>

// printf-style formatting into a text of exactly the formatted length.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

std::string IntToStr(long long value);
// Decimal, or hexadecimal after "$", "0x" or "0X"; an optional sign; leading
// blanks skipped. Anything else raises EConvertError "'%s' は整数ではありません".
int StrToInt(const std::string& text);
bool TryStrToInt(const std::string& text, int& value);

// Removes bytes 0x00-0x20 from both ends.
std::string Trim(const std::string& text);
// ASCII letters only; double-byte characters stay as they are.
std::string UpperCaseAscii(const std::string& text);

// Path parts, double-byte aware ("\" and ":" as separators).
std::string ExtractFileName(const std::string& path);
std::string ExtractFilePath(const std::string& path);  // ends with the separator
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// The list-index error of the string list: "リストのインデックスが範囲を超えています (%d)".
[[noreturn]] void RaiseListIndexError(int index);
