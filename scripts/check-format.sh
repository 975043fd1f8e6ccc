#!/usr/bin/env bash
# Fails when a C++ file of the project is not as clang-format (.clang-format
# at the root) would write it, and names the files. Mend with
#   clang-format -i FILE
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
command -v clang-format >/dev/null || { echo "clang-format is missing (Debian package clang-format)" >&2; exit 1; }
bad=()
while IFS= read -r -d '' file; do
    clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done < <(git ls-files -z -- 'src/*.cpp' 'src/*.h' 'apps/*.cpp' 'apps/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 2>/dev/null ||
    find src apps tests bench -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
if ((${#bad[@]})); then
    printf 'not clang-formatted: %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "clang-format: ok"
