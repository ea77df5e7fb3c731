#!/bin/sh
# Every path of the sources that a text names (the documentation, the READMEs,
# comments and scripts): src/..., tools/..., tests/..., scripts/..., cmake/...,
# packaging/... and docs/... must exist, so that a file that moves cannot
# leave its old name behind. Globs count when something matches. Paths of a
# build folder (build/windows-x64/packaging/...) are not the sources' and are
# left alone, as are names built from variables.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ -d .git ] || [ -f .git ]; then
  files=$(git ls-files)
else
  files=$(find . -path ./build -prune -o -type f -print | sed 's#^\./##')
fi

bad=0
for name in $(printf '%s\n' "$files" | grep -vE '\.(png|bmp|ico)$|^tests/fuzz/corpus/' |
  xargs grep -oh -E '(^|[^A-Za-z0-9_./${}<-])(src|tools|tests|scripts|cmake|packaging|docs)/[A-Za-z0-9_.*/-]*[A-Za-z0-9_*/]' |
  sed -E 's#^[^a-z]##; s#/$##' | sort -u); do
  # shellcheck disable=SC2086 # a glob is meant to expand
  if ! ls -d $name >/dev/null 2>&1; then
    printf '%s is named in ' "$name"
    printf '%s\n' "$files" | xargs grep -l -F "$name" 2>/dev/null | tr '\n' ' '
    echo "but does not exist"
    bad=1
  fi
done
exit $bad
