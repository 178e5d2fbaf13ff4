#!/usr/bin/env bash
# Formats the C++ sources with .clang-format; `--check` only reports the files
# that differ and fails, as CI runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == --check ]]; then
    clang-format --dry-run --Werror "${files[@]}"
else
    clang-format -i "${files[@]}"
fi
