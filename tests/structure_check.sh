#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The floors hold by construction and by the check:
# 1. With each folder's own compile flags (compile_commands.json of the build), an include of
#    the main window's header fails to preprocess in every folder below it, while the folder's
#    own header passes: the compiler refuses an upward include.
# 2. scripts/check-structure.sh passes on the tree and, on a copy with one offence of each
#    kind planted, names every one by file and line, and nothing legal.
# Usage: structure_check.sh <source root> <build folder>
set -euo pipefail
root=$(readlink -f "$1") build=$(readlink -f "$2")
check="$root/scripts/check-structure.sh"
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT

# 1. The compiler.
commands=$build/compile_commands.json
[ -f "$commands" ] || { echo "no $commands" >&2; exit 1; }
for dir in "$root"/src/*/; do
  folder=$(basename "$dir")
  headers=("$dir"*.h)
  [ -f "${headers[0]}" ] || continue
  own=$(basename "${headers[0]}")
  above=mainwindow/Form1.h
  [ "$folder" = mainwindow ] && above=startup/SingleInstance.h
  flags=$(grep -m1 -F " -c $root/src/$folder/" "$commands" |
    grep -oE '(-I|-isystem )[^ ]+|-std=[^ ]+|-D[A-Z_]+' | tr '\n' ' ')
  [ -n "$flags" ] || { echo "no compile command for src/$folder" >&2; exit 1; }
  # Same place as a source of the folder, so a quoted include looks where that source's would.
  printf '#include "%s/%s"\n' "$folder" "$own" >"$copy/own.cpp"
  printf '#include "%s"\n' "$above" >"$copy/above.cpp"
  # shellcheck disable=SC2086
  c++ $flags -E -o /dev/null -x c++ "$copy/own.cpp" ||
    { echo "$folder/: its own header $own does not preprocess with its flags" >&2; exit 1; }
  # shellcheck disable=SC2086
  if c++ $flags -E -o /dev/null -x c++ "$copy/above.cpp" 2>/dev/null; then
    echo "$folder/: an include of $above compiles: the floor is not enforced" >&2
    exit 1
  fi
done
echo "the compiler refuses an upward include in every folder"

# 2. The check, on the tree and on a planted copy.
"$check" "$root" >/dev/null
cp -r "$root/src" "$copy/"
s=$copy/src
plant() { echo "$2" >>"$s/$1"; echo "src/$1:$(wc -l <"$s/$1")"; }
expected=(
  "$(plant base/Paths.cpp '#include "game/Game.h"')"
  "$(plant input/Steering.cpp '#include "records/Cp1252.h"')"
  "$(plant game/Game.cpp '#include "game/../mainwindow/Form1.h"')"
  "$(plant game/Playfield.cpp '#include "../windows/Texts.h"')"
  "$(printf '#define PICK "mainwindow/Form1.h"\n' >>"$s/look/WindowLook.cpp"; plant look/WindowLook.cpp '#include PICK')"
)
calls=('int fd = open(path, 0);' 'close(fd);' 'pid_t p = fork();' 'kill(p, 9);' 'system("ls");'
  'popen("ls", "r");' 'signal(2, handler);' 'FILE* f = fopen("x", "r");' 'auto f = std::fopen("x", "r");'
  '#include <cstdlib>' '#include <fstream>' 'namespace fs = std::filesystem;' '#include <thread>'
  'QFile f(path);' 'QProcess p;' 'QSettings s;' 'QLibrary lib("SDL2");' 'QThread t;'
  'int r = std::rand();' 'auto t = std::chrono::system_clock::now();'
  'auto ms = QDateTime::currentMSecsSinceEpoch();' 'static const auto home = qgetenv("HOME");')
for c in "${calls[@]}"; do expected+=("$(plant records/Cp1252.cpp "$c")"); done
touch "$s/game/Extra.cc" "$s/game/Extra.hpp"
mkdir "$s/extra" && touch "$s/extra/Extra.cpp"
expected+=(src/extra/Extra.cpp src/game/Extra.cc src/game/Extra.hpp)
# Legal lines: a path that climbs to a floor below, the system's name inside a string, a
# widget's own close().
echo '#include "../base/Units.h"' >>"$s/platform/WindowTimer.cpp"
echo 'static const char* kWhy = "never getenv() or open(x) here";' >>"$s/game/Game.cpp"
echo 'void shut(QWidget* w) { w->close(); }' >>"$s/windows/Texts.cpp"

if "$check" "$copy" 2>"$copy/report"; then
  echo "the check passed a tree with offences planted" >&2
  exit 1
fi
missed=0
for e in "${expected[@]}"; do
  grep -q "^$e[: ]" "$copy/report" || { echo "not reported: $e" >&2; missed=1; }
done
reported=$(grep -c '^src/' "$copy/report")
if [ "$missed" = 1 ] || [ "$reported" -ne ${#expected[@]} ]; then
  cat "$copy/report" >&2
  echo "expected ${#expected[@]} offences, the check reported $reported" >&2
  exit 1
fi
echo "the check names all ${#expected[@]} planted offences and nothing legal"
