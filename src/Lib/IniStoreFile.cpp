#include "Lib/IniStoreFile.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "Framework/Exception.h"
#include "Framework/Handles.h"
#include "Framework/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace {

[[noreturn]] void RaiseOpenError(const std::string& fileName) {
    throw EFOpenError(Format("ファイル %s を開けません", fileName.c_str()));
}

[[noreturn]] void RaiseCreateError(const std::string& fileName) {
    throw EFCreateError(Format("ファイル %s を作成できません", fileName.c_str()));
}

// Writes go in pieces of at most this size (the system calls take 32-bit
// counts); reads in pieces of ReadChunk.
constexpr std::size_t Chunk = 1 << 20;
constexpr std::size_t ReadChunk = 1 << 16;

#ifdef _WIN32
bool WriteAll(HANDLE h, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD piece = static_cast<DWORD>(std::min(Chunk, data.size() - done));
        DWORD written = 0;
        if (!WriteFile(h, data.data() + done, piece, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}
#else
bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t written = ::write(fd, data.data() + done, std::min(Chunk, data.size() - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}
#endif

}  // namespace

std::string ReplacementFileName(const std::string& FileName) { return FileName + ".tmp"; }

#ifdef _WIN32

bool ReadWholeFile(const std::string& FileName, std::string& Data) {
    Data.clear();
    TKernelHandle file(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
        RaiseOpenError(FileName);
    }
    std::string buffer(ReadChunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr)) RaiseOpenError(FileName);
        if (got == 0) break;
        Data.append(buffer, 0, got);
    }
    return true;
}

namespace {

// The path of the file that FileName finally names, every link and junction
// on the way followed; FileName itself when it does not exist or the system
// can't tell.
std::string FinalFileName(const std::string& FileName) {
    TKernelHandle file(CreateFileA(FileName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) return FileName;
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD size = GetFinalPathNameByHandleA(file.Get(), &path[0], static_cast<DWORD>(path.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (size == 0) return FileName;
        // Too small a buffer gives the size needed, the terminating NUL included.
        if (size < path.size()) {
            path.resize(size);
            return path;
        }
        path.assign(size, '\0');
    }
}

}  // namespace

void ReplaceWholeFile(const std::string& FileName, const std::string& Data) {
    const std::string target = FinalFileName(FileName);
    const std::string temp = ReplacementFileName(target);
    TKernelHandle file(
        CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) RaiseCreateError(FileName);
    bool ok = WriteAll(file.Get(), Data) && FlushFileBuffers(file.Get());
    ok = file.Close() && ok;
    ok = ok && MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        // The failed step's reason stays the thread's last error; removing
        // the temporary file must not put its own in its place.
        const DWORD error = GetLastError();
        DeleteFileA(temp.c_str());
        SetLastError(error);
        RaiseCreateError(FileName);
    }
}

#else

bool ReadWholeFile(const std::string& FileName, std::string& Data) {
    Data.clear();
    TFileDescriptor file(::open(FileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) {
        if (errno == ENOENT || errno == ENOTDIR) return false;
        RaiseOpenError(FileName);
    }
    std::string buffer(ReadChunk, '\0');
    for (;;) {
        const ssize_t got = ::read(file.Get(), &buffer[0], buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) RaiseOpenError(FileName);
        if (got == 0) break;
        Data.append(buffer, 0, static_cast<std::size_t>(got));
    }
    return true;
}

namespace {

std::string FinalFileName(const std::string& FileName) {
    char path[PATH_MAX];
    return ::realpath(FileName.c_str(), path) ? std::string(path) : FileName;
}

}  // namespace

void ReplaceWholeFile(const std::string& FileName, const std::string& Data) {
    const std::string target = FinalFileName(FileName);
    const std::string temp = ReplacementFileName(target);
    TFileDescriptor file(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file.Valid()) RaiseCreateError(FileName);
    bool ok = WriteAll(file.Get(), Data) && ::fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        ::unlink(temp.c_str());
        errno = error;
        RaiseCreateError(FileName);
    }
}

#endif
