#!/usr/bin/env bash
# Builds the core and command-line tests (and the programs they run) with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (or $ORRELIN_ASAN_BUILD_DIR),
# the window left out, and runs them. Any report fails the run: a read or write out of bounds,
# a use after free, a leak, an overflowing signed sum, a misaligned or null access.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORRELIN_ASAN_BUILD_DIR:-build-asan}

if ! command -v clang++ >/dev/null; then
    echo "test-sanitizers: clang++ is missing: run scripts/install-deps.sh" >&2
    exit 1
fi
if [ ! -f "$dir/CMakeCache.txt" ]; then
    # -O1: quicker to build than -O2 and still fast enough to run, with exact stack traces.
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DORRELIN_SANITIZE=address,undefined \
        -DORRELIN_WERROR=ON -DORRELIN_BUILD_GUI=OFF >/dev/null
fi
cmake --build "$dir" --target orrelin_core_tests orrelin_cli_tests -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
(cd "$dir" && ctest --output-on-failure -j "$(nproc)")
echo "test-sanitizers: core and command-line tests pass under address and undefined sanitizers"
