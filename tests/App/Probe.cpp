// A program for the launcher to start in tests. It appends one record to the
// file named by its first argument: the folder it runs in and its whole
// command line, each on a line of its own, then a line "--". The record is
// written in one call so that a reader never sees half of it.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    char folder[MAX_PATH] = {};
    const DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return 3;
    const std::string record = std::string(folder) + "\r\n" + GetCommandLineA() + "\r\n--\r\n";

    // Other starts of the probe may be writing the same file: retry while it is busy.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileA(argv[1], FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == record.size() ? 0 : 4;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) return 5;
        Sleep(10);
    }
    return 6;
}
