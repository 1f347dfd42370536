#!/usr/bin/env bash
# Makes the example project with the command-line builder's editing
# commands: the session a release script would run.
#   bash examples/make_example.sh PROJECT.qsp
# The builder is taken from $QUILLSET_BUILD, else dist/ of this tree.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
project=${1:?usage: make_example.sh PROJECT.qsp}
qb=${QUILLSET_BUILD:-$here/../dist/quillset-build}
ex="$here/example"

"$qb" new "$project" --force --name "Example App"
"$qb" add "$project" "$ex/files/ReadMe.txt" "$ex/files/bin"
"$qb" add "$project" --to docs "$ex/files/docs/Guide.txt" "$ex/files/docs/Changes.txt"
"$qb" set "$project" welcome-file="$ex/welcome.txt" licence-file="$ex/licence.txt" \
  progress-bar=smooth uninstaller=on shortcuts-for=current-user languages=en \
  "eoi-message=%name% is installed. Thank you for trying %company%'s example." \
  'eoi-command=%install path%\docs\Guide.txt'
"$qb" macro "$project" add %company% "Quill Example Works"
"$qb" macro "$project" add %version% "1.0.0"
"$qb" macro "$project" add %publisher% "Quill Example Works"
# What package managers and management tools are told (manifest, describe).
"$qb" set "$project" licence-name=Freeware \
  "short-description=A small example program that shows what a Quillset package installs."
"$qb" shortcut "$project" add ReadMe.txt start-menu "Read me" --folder "Example App"
"$qb" shortcut "$project" add bin/Hello.bat desktop "Example Hello"
"$qb" shortcut "$project" add bin/Hello.bat quick-start "Example Hello"
"$qb" shortcut "$project" add Uninstall.exe start-menu "Uninstall Example App" --folder "Example App"
