#ifndef _WIN32

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/random.h>  // getrandom; getentropy on macOS
#include <sys/stat.h>
#include <unistd.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>  // renamex_np on macOS
#include <cstdlib>
#include <limits>
#include <random>

#include "io/platform.h"

namespace orrelin::platform {
namespace {

int Fd(FileHandle file) {
    return static_cast<int>(file);
}

}  // namespace

int OpenForReading(const std::string& path, FileHandle& file) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    file = fd;
    return 0;
}

int StateOf(FileHandle file, FileState& state) {
    struct stat st {};
    if (::fstat(Fd(file), &st) != 0) return errno;
    state.regular = S_ISREG(st.st_mode);
    state.folder = S_ISDIR(st.st_mode);
    state.size = static_cast<std::uint64_t>(st.st_size);
#ifdef __APPLE__
    state.modified = st.st_mtimespec.tv_sec;
    state.modifiedFraction = st.st_mtimespec.tv_nsec;
#else
    state.modified = st.st_mtim.tv_sec;
    state.modifiedFraction = st.st_mtim.tv_nsec;
#endif
    return 0;
}

int ReadSomeAt(FileHandle file, void* into, std::size_t size, std::uint64_t offset,
               std::size_t& got) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return EOVERFLOW;
    for (;;) {
        const ssize_t n = ::pread(Fd(file), into, size, static_cast<off_t>(offset));
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

int CreateNew(const std::string& path, FileHandle& file) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    file = fd;
    return 0;
}

int WriteAll(FileHandle file, const void* bytes, std::size_t size) {
    const char* data = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(Fd(file), data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteSome(FileHandle file, const WritePiece* pieces, std::size_t count, std::size_t& wrote) {
    const int most = static_cast<int>(std::min<std::size_t>(count, IOV_MAX));
    for (;;) {
        const ssize_t n = ::writev(Fd(file), pieces, most);
        if (n >= 0) {
            wrote = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

void StartWriteBack(FileHandle file, std::uint64_t from, std::uint64_t length) {
#ifdef __linux__
    ::sync_file_range(Fd(file), static_cast<off_t>(from), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
#else
    (void)file, (void)from, (void)length;  // the system writes back on its own
#endif
}

int FlushToDisk(FileHandle file) {
    return ::fsync(Fd(file)) == 0 ? 0 : errno;
}

int Close(FileHandle file) {
    return ::close(Fd(file)) == 0 ? 0 : errno;
}

void FlushFolder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

int RenameReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int RenameWithoutReplacing(const std::string& from, const std::string& to) {
#if defined(__linux__)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
#elif defined(__APPLE__)
    if (::renamex_np(from.c_str(), to.c_str(), RENAME_EXCL) == 0) return 0;
#else
    errno = ENOSYS;
#endif
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    // File systems without the no-replace rename: a new link fails on any existing name.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) return errno;
    // Neither (some network and FAT-like file systems): look, then rename, as well as it goes.
    if (Exists(to)) return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

std::uint64_t PhysicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::uint64_t{1} << 32;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (a.empty() || b.empty()) return false;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::filesystem::path NativePath(const std::string& path) {
    return std::filesystem::path(path);
}

std::uint64_t RandomBits() {
    std::uint64_t value = 0;
#if defined(__APPLE__) || defined(__EMSCRIPTEN__)
    if (::getentropy(&value, sizeof value) != 0) {
#else
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) {
#endif
        std::random_device device;
        value = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }
    return value;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return local;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string SettingsFolder(std::string& whyNot) {
    std::string folder = Environment("XDG_CONFIG_HOME");
    if (folder.empty() || folder.front() != '/') {
        std::string home = Environment("HOME");
        if (home.empty()) {
            whyNot = "neither XDG_CONFIG_HOME nor HOME is set";
            return {};
        }
        folder = home + "/.config";
    }
    if (folder.back() != '/') folder.push_back('/');
    return folder;
}

std::optional<LocaleTimeFormats> TimeFormatsOfLocale(const std::string& name) {
    locale_t locale = ::newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return std::nullopt;
    LocaleTimeFormats formats{::nl_langinfo_l(D_FMT, locale), ::nl_langinfo_l(T_FMT, locale),
                              ::nl_langinfo_l(AM_STR, locale), ::nl_langinfo_l(PM_STR, locale)};
    ::freelocale(locale);
    return formats;
}

void AdviseLargePages(void* start, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    ::madvise(start, bytes, MADV_HUGEPAGE);
#else
    (void)start, (void)bytes;
#endif
}

#ifdef __EMSCRIPTEN__
// Emscripten's own isatty says yes for the standard streams whatever they are, so Node, where
// the program runs, is asked; elsewhere (a page's worker) there is no terminal.
EM_JS(int, NodeStandardErrorIsTerminal, (), {
    if (typeof process == "object" && process.versions && process.versions.node)
        return require("tty").isatty(2) ? 1 : 0;
    return 0;
});
#endif

bool StandardErrorIsTerminal() {
#ifdef __EMSCRIPTEN__
    return NodeStandardErrorIsTerminal() != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

void UseBinaryStandardStreams() {}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void StopThisProcess() {
    ::raise(SIGSTOP);
}

}  // namespace orrelin::platform

#endif  // !_WIN32
