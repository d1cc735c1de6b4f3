#!/usr/bin/env bash
# Refuses any #include of a project header that reaches from a folder of src/ into a folder
# above it, in the order written on the "Include order:" line of src/CMakeLists.txt.
set -euo pipefail
src=${1:?usage: check_include_order.sh SRC_DIR}
order=$(sed -n 's/^# Include order: //p' "$src/CMakeLists.txt")
[ -n "$order" ] || { echo "no 'Include order:' line in $src/CMakeLists.txt" >&2; exit 1; }
declare -A rank
level=0
IFS='<' read -ra ranks <<<"$order"
for group in "${ranks[@]}"; do
  for folder in $group; do rank[$folder]=$level; done
  level=$((level + 1))
done
status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  [ -n "${rank[$folder]+set}" ] || { echo "src/$folder is not in the include order" >&2; status=1; continue; }
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$text")
    [ "$target" = "$folder" ] && continue
    if [ -z "${rank[$target]+set}" ] || [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
      echo "${file#"$src"/}:$line: src/$folder may not include $target/ ($text)" >&2
      status=1
    fi
  done < <(grep -nH -E '^#include "[a-z]+/' "$dir"*.h "$dir"*.cpp 2>/dev/null || true)
done
exit $status
