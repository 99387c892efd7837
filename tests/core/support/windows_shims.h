#pragma once

// Built into every core test on Windows only (a forced include): the few POSIX calls the tests
// use to set up their environment and folders, made of the C runtime's own. A locale the system
// does not have cannot be made here, so newlocale always fails and such tests skip.

#ifdef _WIN32

#include <direct.h>
#include <io.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>

inline int setenv(const char* name, const char* value, int) {
    return ::_putenv_s(name, value);
}

inline int setenv(const char* name, const wchar_t* value, int) {
    const std::wstring wide(value);
    return ::_putenv_s(name, std::string(wide.begin(), wide.end()).c_str());
}

inline int unsetenv(const char* name) {
    return ::_putenv_s(name, "");
}

inline char* mkdtemp(char* pattern) {
    if (::_mktemp_s(pattern, ::strlen(pattern) + 1) != 0) return nullptr;
    return ::_mkdir(pattern) == 0 ? pattern : nullptr;
}

using locale_t = void*;
#ifndef LC_TIME_MASK
#define LC_TIME_MASK 0
#endif
inline locale_t newlocale(int, const char*, locale_t) {
    return nullptr;
}
inline void freelocale(locale_t) {}

#endif  // _WIN32
