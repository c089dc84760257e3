#!/usr/bin/env bash
# Formats the C++ sources with clang-format 14 (settings in .clang-format).
#   scripts/format.sh           formats every tracked .cpp and .h file in place
#   scripts/format.sh --check   changes nothing; lists the files that differ and fails
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh clang-format-14

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ ${1:-} == --check ]]; then
    # One run over every file; each unformatted file is named once.
    if ! out=$(clang-format-14 --dry-run -Werror "${files[@]}" 2>&1); then
        grep -o -E '^[^:]+:[0-9]+:[0-9]+: error' <<<"$out" | cut -d: -f1 | sort -u |
            while read -r file; do
                echo "clang-format: $file is not formatted (scripts/format.sh formats it)" >&2
            done
        grep -q -E '^[^:]+:[0-9]+:[0-9]+: error' <<<"$out" || echo "$out" >&2
        exit 1
    fi
    echo "clang-format: ${#files[@]} files formatted"
    exit 0
fi
clang-format-14 -i "${files[@]}"
