#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what the compiler cannot see of the map in ARCHITECTURE.md. The floors themselves are
# read from src/CMakeLists.txt (each folder's library and the libraries it LINKS), the one
# place they are written; the compiler already refuses an include of a folder that a library
# does not link, and this script also refuses the paths that slip past it ("game/../x",
# "../x"). Only platform/ and startup/ call the system, read the clock or draw chance; no
# header is named through a macro; sources end in .cpp or .h. Prints each offence as
# file:line and fails when there is one.
#   scripts/check-structure.sh [root]    root: the tree to check, this one by default
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

# The floors: folder -> the folders its library links, from src/CMakeLists.txt.
declare -A links=()
while read -r folder rest; do
  links[$folder]=$rest
done < <(tr '\n' ' ' <src/CMakeLists.txt | grep -oE 'vorlin_floor\([^)]*\)' |
  sed -E 's/vorlin_floor\(([a-z]+)/\1/; s/\)$//' |
  awk '{ out = $1; on = 0
         for (i = 2; i <= NF; i++) {
           if ($i == "LINKS") { on = 1; continue }
           if ($i == "SOURCES" || $i == "PRIVATE") { on = 0; continue }
           if (on && $i ~ /^vorlin_/) out = out " " substr($i, 8)
         }
         print out }')
[ ${#links[@]} -gt 0 ] || { echo "check-structure: no vorlin_floor() in src/CMakeLists.txt" >&2; exit 1; }
top_links=$(tr '\n' ' ' <src/CMakeLists.txt | grep -oE 'target_link_libraries\(vorlin [^)]*\)' |
  grep -oE 'vorlin_[a-z]+' | sed 's/^vorlin_//' | tr '\n' ' ')

declare -A reach=()
reachable() { # folder: every folder its library links, directly or not
  local seen=" $1 " todo=(${links[$1]}) next
  while [ ${#todo[@]} -gt 0 ]; do
    next=${todo[0]}
    todo=("${todo[@]:1}")
    [[ $seen == *" $next "* ]] && continue
    seen+="$next "
    todo+=(${links[$next]:-})
  done
  echo "$seen"
}
for folder in "${!links[@]}"; do reach[$folder]=$(reachable "$folder"); done
links[src]=$top_links
reach[src]=$(reachable src)

# Where the system, the clock and chance may be reached; everything else goes through them.
system_folders='^src/(platform|startup)/'
# The named exceptions, as "file:text of the line" (extended regex on the line): none today.
allowed=()

system_include='^\s*#\s*include\s*[<"](SDL[^>"]*|unistd\.h|fcntl\.h|sys/[^>"]*|dirent\.h|csignal|signal\.h|dlfcn\.h|time\.h|ctime|poll\.h|pwd\.h|spawn\.h|termios\.h|pthread\.h|cstdlib|stdlib\.h|fstream|filesystem|thread|random)[>"]'
# Unqualified POSIX calls: a member call (x.close(), close() of a widget) is not one.
posix='(^|[^.>:A-Za-z0-9_])((open|close|kill|system|popen|signal|fopen)\s*\(\s*[^) ]|fork\s*\()'
system_call="\\b(getenv|secure_getenv|setenv|unsetenv|putenv|qgetenv|qputenv|qunsetenv|qEnvironmentVariable[A-Za-z]*|SDL_[A-Za-z0-9_]+|clock_gettime|opendir|readdir|fstatat|unlinkat|dlopen|dlsym|sigaction|ioctl)\\b|\\bstd::(signal|raise|system|fopen|filesystem|thread|rand|srand|random_device)\\b|(^|[^:A-Za-z0-9_])::[a-z_]+\\s*\\(|$posix"
qt_system='\bQ(File|Process|Settings|Library|Thread|SaveFile|TemporaryFile|RandomGenerator|ElapsedTimer)\b|\bQ(Date)?Time::current|\b(system_clock|steady_clock|high_resolution_clock)\b|(^|[^.>:A-Za-z0-9_])s?rand\s*\('
# Naming helpers of QFile that touch no file.
qt_allowed='\bQFile::(encodeName|decodeName)\b'

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

# normalise <path>: removes "." and "x/.." steps; a path that climbs out of the root keeps
# its leading "..".
normalise() {
  local part out=()
  IFS=/ read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    case $part in
      "" | .) ;;
      ..) if [ ${#out[@]} -gt 0 ] && [ "${out[-1]}" != .. ]; then unset 'out[-1]'; else out+=(..); fi ;;
      *) out+=("$part") ;;
    esac
  done
  (IFS=/; echo "${out[*]}")
}

# Code of a line without its comment and the text of its string and character literals.
literals='s/"([^"\\]|\\.)*"/""/g'" ; s/'([^'\\\\]|\\\\.)*'/''/g"
code_of() { sed -E "$literals; s#//.*##; s#/\\*.*\\*/##g" <<<"$1"; }

while IFS= read -r -d '' file; do
  rel=${file#src/}
  case $file in
    *.cpp | *.h) ;;
    src/CMakeLists.txt | src/windows/pictures/*.gif) continue ;;
    *) fail "$file: a source file that ends in neither .cpp nor .h"; continue ;;
  esac
  if [[ $rel == */* ]]; then
    folder=${rel%%/*}
    [ -n "${links[$folder]+set}" ] || { fail "$file: folder $folder/ has no library in src/CMakeLists.txt"; continue; }
  else
    folder=src
  fi
  dir=${file%/*}

  # Includes of the project's own files, wherever their path leads.
  while IFS=: read -r line target; do
    if [ -e "$dir/$target" ]; then
      resolved=$(normalise "$dir/$target")
    else
      resolved=$(normalise "src/$target")
    fi
    [[ $resolved == src/*/* ]] || continue # outside the folders: not the floors' business
    to=${resolved#src/}
    to=${to%%/*}
    [ "$to" = "$folder" ] && continue
    if [ -z "${links[$to]+set}" ]; then
      fail "$file:$line: includes $target from $to/, a folder with no library"
    elif [[ ${reach[$folder]} != *" $to "* ]]; then
      fail "$file:$line: includes $target, but the library of ${folder}/ does not link $to/ (upwards or sideways)"
    fi
  done < <(grep -nE '^\s*#\s*include\s*"[^"]+"' "$file" | sed -E 's/^([0-9]+):.*"([^"]+)".*/\1:\2/')

  # A header named through a macro hides what it includes.
  while IFS=: read -r line _; do
    fail "$file:$line: an include through a macro"
  done < <(grep -nE '^\s*#\s*include\s*[^"<[:space:]]' "$file" || true)

  # The system, the clock, chance and SDL, outside the folders that wrap them.
  [[ $file =~ $system_folders ]] && continue
  while IFS= read -r hit; do
    line=${hit%%:*}
    text=${hit#*:}
    code=$(code_of "$text")
    [[ $code =~ ^[[:space:]]*\* ]] && continue
    # An include of a Qt class is not a use of it; its use is.
    bare=$(sed -E "s/$qt_allowed//g; s/^\s*#\s*include.*//" <<<"$code")
    if grep -qE "$system_include" <<<"$text" || grep -qE "$system_call|$qt_system" <<<"$bare"; then
      allowed_line "$file" "$text" && continue
      fail "$file:$line: the system, the clock or chance outside platform/ and startup/: $(sed -E 's/^\s+//' <<<"$text")"
    fi
  done < <(grep -nE "$system_include|$system_call|$qt_system" "$file" || true)
done < <(find src -type f -print0 | sort -z)

if [ "$failures" -gt 0 ]; then
  echo "check-structure: $failures offence(s) against ARCHITECTURE.md" >&2
  exit 1
fi
echo "check-structure: includes follow the libraries' links; the system, the clock and chance only in platform/ and startup/"
