#!/bin/sh
# Every include in src/ runs down: a folder includes only itself, the generated
# headers (parvel/) and the folders that src/CMakeLists.txt lists before it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
order=$(sed -n 's/^add_subdirectory(\([a-z_]*\))$/\1/p' "$root/src/CMakeLists.txt")
rank() { printf '%s\n' "$order" | grep -nx "$1" | cut -d: -f1; }

bad=0
for folder in $order; do
  mine=$(rank "$folder")
  for used in $(grep -ho '^#include "[a-z_]*/' "$root/src/$folder" -r | sed 's/^#include "//; s#/$##' | sort -u); do
    [ "$used" = "$folder" ] || [ "$used" = parvel ] && continue
    theirs=$(rank "$used")
    if [ -z "$theirs" ] || [ "$theirs" -ge "$mine" ]; then
      grep -rn "^#include \"$used/" "$root/src/$folder" | sed "s#^$root/##; s#\$#  (src/$used is not below src/$folder)#"
      bad=1
    fi
  done
done
for folder in "$root"/src/*/; do
  name=$(basename "$folder")
  [ -n "$(rank "$name")" ] || { echo "src/$name is not in the order of src/CMakeLists.txt"; bad=1; }
done
exit $bad
