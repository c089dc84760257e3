#!/usr/bin/env bash
# Formats the C++ sources with clang-format 14 (settings in .clang-format).
#   scripts/format.sh           formats every tracked .cpp and .h file in place
#   scripts/format.sh --check   changes nothing; lists the files that differ and fails
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh clang-format-14

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ ${1:-} == --check ]]; then
    status=0
    for file in "${files[@]}"; do
        if ! clang-format-14 --dry-run -Werror "$file" 2>/dev/null; then
            echo "clang-format: $file is not formatted (scripts/format.sh formats it)" >&2
            status=1
        fi
    done
    [[ $status -eq 0 ]] && echo "clang-format: ${#files[@]} files formatted"
    exit "$status"
fi
clang-format-14 -i "${files[@]}"
