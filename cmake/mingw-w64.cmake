# Cross-builds for 64-bit Windows with the MinGW-w64 compilers of a Linux system:
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#       -DORRELIN_BUILD_GUI=OFF -DORRELIN_BUILD_TESTS=OFF \
#       -DORRELIN_CROSS_PREFIX="$(scripts/cross-deps.sh mingw64)"
# The compilers with POSIX threads are taken when they are there (std::thread needs them with
# older MinGW-w64 releases), else the default ones. Programs are linked statically, so the
# .exe files run without the compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORRELIN_MINGW_PREFIX x86_64-w64-mingw32)

find_program(ORRELIN_MINGW_CXX NAMES ${ORRELIN_MINGW_PREFIX}-g++-posix ${ORRELIN_MINGW_PREFIX}-g++)
find_program(ORRELIN_MINGW_CC NAMES ${ORRELIN_MINGW_PREFIX}-gcc-posix ${ORRELIN_MINGW_PREFIX}-gcc)
if(NOT ORRELIN_MINGW_CXX OR NOT ORRELIN_MINGW_CC)
    message(FATAL_ERROR "No MinGW-w64 compiler (${ORRELIN_MINGW_PREFIX}-g++): "
        "install g++-mingw-w64-x86-64 (scripts/install-deps.sh does)")
endif()
set(CMAKE_C_COMPILER ${ORRELIN_MINGW_CC})
set(CMAKE_CXX_COMPILER ${ORRELIN_MINGW_CXX})
set(CMAKE_RC_COMPILER ${ORRELIN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORRELIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Libraries built for Windows by scripts/cross-deps.sh, when given (-DORRELIN_CROSS_PREFIX=...).
set(orrelin_pkgconfig /usr/${ORRELIN_MINGW_PREFIX}/lib/pkgconfig)
# The compiler checks read this file again in the same process (the environment is shared), so
# they are handed the folder as well: without it they would set pkg-config's folders anew, the
# cross libraries left out, and a first configuration would find none of them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORRELIN_CROSS_PREFIX)
if(ORRELIN_CROSS_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH ${ORRELIN_CROSS_PREFIX})
    set(orrelin_pkgconfig ${ORRELIN_CROSS_PREFIX}/lib/pkgconfig:${orrelin_pkgconfig})
endif()
# pkg-config looks among the Windows libraries only, never at the build system's own.
set(ENV{PKG_CONFIG_LIBDIR} ${orrelin_pkgconfig})
set(ENV{PKG_CONFIG_PATH} "")
# CLI11 is headers only: its package is the build system's, with its headers taken alone.
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-w64)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests and tools run the programs under Wine when it is there.
find_program(ORRELIN_WINE NAMES wine64 wine)
if(ORRELIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ORRELIN_WINE})
endif()
