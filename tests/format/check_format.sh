#!/usr/bin/env bash
# Fails when a source file is not laid out as .clang-format says; prints the
# files and the command that lays them out.
#   check_format.sh SOURCE_DIR
set -euo pipefail
root=$1
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "clang-format is not installed: the layout is not checked"
  exit 77
fi
cd "$root"
mapfile -t files < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
bad=()
for f in "${files[@]}"; do
  if ! "$format" --style=file --dry-run --Werror "$f" > /dev/null 2>&1; then
    bad+=("$f")
  fi
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not laid out as .clang-format says: %s\n' "${bad[@]}"
  echo "lay them out with: $format -i --style=file ${bad[*]}"
  exit 1
fi
echo "${#files[@]} files are laid out as .clang-format says"
