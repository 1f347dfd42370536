#!/usr/bin/env bash
# The layers: each folder of the tree includes only from the folders below
# it. A header named from another layer fails this test, so the picture in
# the README stays true. No product folder may include the test doubles of
# tests/support, which stand on the OS boundary alone.
#   layers_test.sh SOURCE_ROOT
set -euo pipefail
cd "$1"

# folder: the folders its code may include from (besides itself).
allowed() {
  case "$1" in
    text) echo "" ;;
    os) echo "text" ;;
    common) echo "os text" ;;
    package) echo "common os text" ;;
    installer) echo "uninstaller package common os resources text" ;;
    installer/win32) echo "installer uninstaller package common os resources text" ;;
    uninstaller) echo "package common os text" ;;
    uninstaller/win32) echo "uninstaller package common os resources text" ;;
    builder/project) echo "package common os text" ;;
    builder/editor) echo "builder/project package common os resources text" ;;
    builder/ui) echo "builder/editor builder/project package common os resources . text" ;;
    cli) echo "builder/editor builder/project package common os text" ;;
    cipher) echo "" ;;
    tests/support) echo "os text" ;;
  esac
}

status=0
for folder in text os common package installer installer/win32 uninstaller uninstaller/win32 \
              builder/project builder/editor builder/ui cli cipher tests/support; do
  ok=" $folder $(allowed "$folder") "
  for file in "$folder"/*.cpp "$folder"/*.h; do
    [ -f "$file" ] || continue
    while IFS= read -r header; do
      dir=$(dirname "$header")
      case "$ok" in
        *" $dir "*) ;;
        *) echo "$file includes $header: $folder may not use $dir"; status=1 ;;
      esac
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done
done
[ $status -eq 0 ] && echo "every folder includes only from the layers below it"
exit $status
