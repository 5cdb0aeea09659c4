#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the map of ARCHITECTURE.md against src/: an include runs only downwards or inside its
# own folder, and only platform/ and startup/ include SDL or call the system. Prints each
# offence as file:line and fails when there is one.
#   scripts/check-structure.sh [root]    root: the tree to check, this one by default
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

# The floors, lowest first; main.cpp and anything else directly in src/ is the top floor.
declare -A floor=(
  [base]=0
  [platform]=1
  [input]=2 [sound]=2 [records]=2 [anipic]=2 [look]=2
  [game]=3 [windows]=3
  [mainwindow]=4 [startup]=4
)
top=5

# Where the system may be called; everything else goes through them.
system_folders='^src/(platform|startup)/'
# The named exceptions, as "file:text of the line" (extended regex on the line). main.cpp
# names the signals it hands to startup/, and calls nothing itself.
allowed=(
  'src/main.cpp:^#include <csignal>$'
)

system_include='^\s*#\s*include\s*[<"](SDL[^>"]*|unistd\.h|fcntl\.h|sys/[^>"]*|dirent\.h|csignal|signal\.h|dlfcn\.h|time\.h|ctime|poll\.h|pwd\.h|spawn\.h|termios\.h|pthread\.h)[>"]'
system_call='\b(getenv|secure_getenv|setenv|unsetenv|putenv|qgetenv|qputenv|qunsetenv|qEnvironmentVariable[A-Za-z]*|SDL_[A-Za-z0-9_]+|clock_gettime|opendir|readdir|fstatat|unlinkat|dlopen|dlsym|sigaction|ioctl)\b|\bstd::(signal|raise|system)\b|(^|[^:A-Za-z0-9_])::[a-z_]+\s*\('

failures=0
fail() {
  echo "$1" >&2
  failures=$((failures + 1))
}

allowed_line() { # file, line text
  local entry
  for entry in "${allowed[@]}"; do
    [ "${entry%%:*}" = "$1" ] && [[ $2 =~ ${entry#*:} ]] && return 0
  done
  return 1
}

while IFS= read -r -d '' file; do
  rel=${file#src/}
  if [[ $rel == */* ]]; then
    folder=${rel%%/*}
    [ -n "${floor[$folder]:-}" ] || { fail "$file: folder $folder/ is on no floor of ARCHITECTURE.md"; continue; }
    level=${floor[$folder]}
  else
    folder=""
    level=$top
  fi

  # Includes of the project's own folders.
  while IFS=: read -r line target; do
    to=${target%%/*}
    [ "$to" = "$target" ] && continue # a file beside this one
    [ "$to" = "$folder" ] && continue
    if [ -z "${floor[$to]:-}" ]; then
      [ -d "src/$to" ] && fail "$file:$line: includes $target from $to/, a folder on no floor"
      continue
    fi
    if [ "${floor[$to]}" -ge "$level" ]; then
      how=upwards
      [ "${floor[$to]}" -eq "$level" ] && how=sideways
      fail "$file:$line: includes $target, $how from ${folder:-src}/ to $to/"
    fi
  done < <(grep -nE '^\s*#\s*include\s*"[^"]+"' "$file" | sed -E 's/^([0-9]+):.*"([^"]+)".*/\1:\2/')

  # The system and SDL, outside the folders that wrap them. Comments do not count.
  [[ $file =~ $system_folders ]] && continue
  while IFS= read -r hit; do
    line=${hit%%:*}
    text=${hit#*:}
    code=$(sed -E 's#//.*##' <<<"$text")
    [[ $code =~ ^[[:space:]]*\* ]] && continue
    if grep -qE "$system_include" <<<"$code" || grep -qE "$system_call" <<<"$code"; then
      allowed_line "$file" "$text" && continue
      fail "$file:$line: the system or SDL outside platform/ and startup/: $(sed -E 's/^\s+//' <<<"$text")"
    fi
  done < <(grep -nE "$system_include|$system_call" "$file" || true)
done < <(find src -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

if [ "$failures" -gt 0 ]; then
  echo "check-structure: $failures offence(s) against ARCHITECTURE.md" >&2
  exit 1
fi
echo "check-structure: the includes follow the floors; the system is called only from platform/ and startup/"
