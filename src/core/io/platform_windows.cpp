#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <bcrypt.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "io/platform.h"

namespace orrelin::platform {
namespace {

HANDLE Win(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

FileHandle Ours(HANDLE handle) {
    return reinterpret_cast<FileHandle>(handle);
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8(const wchar_t* wide, std::size_t count) {
    if (count == 0) return {};
    const int size = static_cast<int>(count);
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// The errno code of the failure GetLastError() names, so that messages read the same as on
// other systems.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        case ERROR_NOT_SUPPORTED:
            return ENOSYS;
        default:
            return EIO;
    }
}

int LastErrno() {
    return ErrnoOf(::GetLastError());
}

// At most this many bytes in one ReadFile or WriteFile call (their counts are 32-bit).
constexpr std::size_t kMostAtOnce = 1u << 30;

}  // namespace

int OpenForReading(const std::string& path, FileHandle& file) {
    // Backup semantics lets a folder be opened too, so that it is refused as a folder.
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastErrno();
    file = Ours(handle);
    return 0;
}

int StateOf(FileHandle file, FileState& state) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(Win(file), &info)) return LastErrno();
    state.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    state.regular = !state.folder && ::GetFileType(Win(file)) == FILE_TYPE_DISK;
    state.size = static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    state.modified = static_cast<std::int64_t>(info.ftLastWriteTime.dwHighDateTime);
    state.modifiedFraction = static_cast<std::int64_t>(info.ftLastWriteTime.dwLowDateTime);
    return 0;
}

int ReadSomeAt(FileHandle file, void* into, std::size_t size, std::uint64_t offset,
               std::size_t& got) {
    // On a handle opened for plain (not overlapped) use, the structure only names the offset.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    const auto most = static_cast<DWORD>(std::min(size, kMostAtOnce));
    if (!::ReadFile(Win(file), into, most, &read, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) {
            got = 0;
            return 0;
        }
        return LastErrno();
    }
    got = read;
    return 0;
}

int CreateNew(const std::string& path, FileHandle& file) {
    // CREATE_NEW fails on any existing name, a link included, and never follows one.
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastErrno();
    file = Ours(handle);
    return 0;
}

int WriteAll(FileHandle file, const void* bytes, std::size_t size) {
    const char* data = static_cast<const char*>(bytes);
    while (size > 0) {
        DWORD wrote = 0;
        const auto most = static_cast<DWORD>(std::min(size, kMostAtOnce));
        if (!::WriteFile(Win(file), data, most, &wrote, nullptr)) return LastErrno();
        if (wrote == 0) return EIO;
        data += wrote;
        size -= wrote;
    }
    return 0;
}

int WriteSome(FileHandle file, const WritePiece* pieces, std::size_t count, std::size_t& wrote) {
    // Windows has no gathered write for ordinary files: the first piece that is not empty.
    wrote = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (pieces[i].iov_len == 0) continue;
        DWORD n = 0;
        const auto most = static_cast<DWORD>(std::min(pieces[i].iov_len, kMostAtOnce));
        if (!::WriteFile(Win(file), pieces[i].iov_base, most, &n, nullptr)) return LastErrno();
        if (n == 0) return EIO;
        wrote = n;
        return 0;
    }
    return 0;
}

void StartWriteBack(FileHandle, std::uint64_t, std::uint64_t) {}

int FlushToDisk(FileHandle file) {
    return ::FlushFileBuffers(Win(file)) ? 0 : LastErrno();
}

int Close(FileHandle file) {
    return ::CloseHandle(Win(file)) ? 0 : LastErrno();
}

void FlushFolder(const std::string&) {
    // A folder's entries are put on the disk by the system itself.
}

int RenameReplacing(const std::string& from, const std::string& to) {
    // A file of that name (a link included) is replaced, never followed.
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    return LastErrno();
}

int RenameWithoutReplacing(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any existing name.
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED && Exists(to)) return EEXIST;  // a folder has the name
    return ErrnoOf(error);
}

int Remove(const std::string& path) {
    return ::DeleteFileW(Wide(path).c_str()) ? 0 : LastErrno();
}

std::uint64_t PhysicalMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status) || status.ullTotalPhys == 0) return std::uint64_t{1} << 32;
    return status.ullTotalPhys;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    BY_HANDLE_FILE_INFORMATION infos[2]{};
    const std::string* paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        HANDLE handle = ::CreateFileW(Wide(*paths[i]).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        const bool known = ::GetFileInformationByHandle(handle, &infos[i]);
        ::CloseHandle(handle);
        if (!known) return false;
    }
    return infos[0].dwVolumeSerialNumber == infos[1].dwVolumeSerialNumber &&
           infos[0].nFileIndexHigh == infos[1].nFileIndexHigh &&
           infos[0].nFileIndexLow == infos[1].nFileIndexLow;
}

std::filesystem::path NativePath(const std::string& path) {
    return std::filesystem::path(Wide(path));
}

std::uint64_t RandomBits() {
    std::uint64_t value = 0;
    ::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value,
                      BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return value;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    ::localtime_s(&local, &when);
    return local;
}

std::string Environment(const char* name) {
    const std::wstring wideName = Wide(name);
    const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    if (length == 0 || length >= size) return {};
    return Utf8(value.data(), length);
}

std::string SettingsFolder(std::string& whyNot) {
    std::string folder = Environment("LOCALAPPDATA");
    if (folder.empty()) {
        whyNot = "LOCALAPPDATA is not set";
        return {};
    }
    if (folder.back() != '/' && folder.back() != '\\') folder.push_back('\\');
    return folder;
}

std::optional<LocaleTimeFormats> TimeFormatsOfLocale(const std::string&) {
    // Only the US English style the C locale gives is known here.
    return std::nullopt;
}

void AdviseLargePages(void*, std::size_t) {}

bool StandardErrorIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

namespace {

UINT consolePageBefore = 0;

void RestoreConsolePage() {
    ::SetConsoleOutputCP(consolePageBefore);
}

// A console shows the bytes written to it in its output code page, and everything the program
// prints is UTF-8: the console takes that page while the program runs and gets its own back at
// the end. Output to a file or a pipe is not a console and is not touched.
void ShowUtf8OnConsole() {
    DWORD mode = 0;
    if (!::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
        !::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode))
        return;
    const UINT page = ::GetConsoleOutputCP();
    if (page == 0 || page == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8)) return;
    consolePageBefore = page;
    std::atexit(RestoreConsolePage);
}

}  // namespace

void UseBinaryStandardStreams() {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ShowUtf8OnConsole();
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) ::LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8(wide[i], std::wcslen(wide[i])));
    ::LocalFree(wide);
    return arguments;
}

void StopThisProcess() {}

}  // namespace orrelin::platform

#endif  // _WIN32
