#!/usr/bin/env bash
# Every C++ file of the project laid out as .clang-format says; names those that are not.
# Mend with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
    echo "test-format: clang-format is missing: run scripts/install-deps.sh" >&2
    exit 1
fi
files=()
while IFS= read -r f; do files+=("$f"); done < <(git ls-files '*.cpp' '*.h' 2>/dev/null ||
    find src tests tools fuzz bench -name '*.cpp' -o -name '*.h')
differ=()
for f in "${files[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || differ+=("$f")
done
if [ ${#differ[@]} -gt 0 ]; then
    echo "test-format: ${#differ[@]} of ${#files[@]} files differ from .clang-format:" >&2
    printf '  %s\n' "${differ[@]}" >&2
    exit 1
fi
echo "test-format: ${#files[@]} files laid out as .clang-format says"
