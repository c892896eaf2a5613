#!/usr/bin/env bash
# tavrel-setup.exe installed silently into a Wine prefix of its own, the
# installed programs started, and the uninstaller run: nothing of the
# program is left (files, Start-menu entry, registry keys), and nothing of
# anyone else's is taken (a .tdx type that belongs to another program, files
# and folders that were in the chosen folder before). While a program runs
# from the folder the uninstaller changes nothing. The licence texts and
# notices are installed, with Windows' line ends, and Wine's menu builder
# writes nothing into the home folder.
# Usage: installer_test.sh WINDOWS_BUILD_DIR WINE64 WINESERVER SOURCE_DIR
set -euo pipefail
build_dir=$1 wine=$2 wineserver=$3 source_dir=$4

. "$(dirname "$0")/wine_env.sh" "$build_dir" "$build_dir/install-prefix"
"$wineserver" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
# A home of its own, which must stay empty: no menu entries, icons or file
# types of the prefix's programs reach the real one.
HOME=$(mktemp -d)
export HOME
unset XDG_DATA_HOME XDG_CONFIG_HOME
running=
trap '[ -z "$running" ] || kill "$running" 2>/dev/null; "$wineserver" -k 2>/dev/null;
  rm -rf "$WINEPREFIX" "$HOME"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# Every Wine program here ends by itself; none may hold the test for long.
run() { timeout -k 5 120 "$wine" "$@" </dev/null; }
# The value of a registry key's default entry, empty when the key is missing.
default_of() {
  run reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
# Runs a command line through the command interpreter (unquoted arguments
# with blanks, such as the uninstaller's _?=folder); its exit status.
run_cmd() {
  local script=$WINEPREFIX/drive_c/run.cmd
  printf '@%s\r\n@exit %%ERRORLEVEL%%\r\n' "$1" >"$script"
  run cmd /c 'C:\run.cmd' >/dev/null 2>&1
}

run wineboot -i >/dev/null 2>&1
default_folder="C:\\Program Files\\Talbrook\\TAVREL"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TAVREL CONTROL"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TAVREL'
unix_path() { echo "$WINEPREFIX/drive_c/$(echo "${1#C:\\}" | tr '\\' /)"; }
# The notices the installer carries, by the names notices.txt gives them.
notices=$(sed -n 's/^\([^#-][^|]*\)|.*/\1/p' "$source_dir/packaging/windows/notices.txt" |
  sed 's/ *$//')

install() {  # [installer options...] (the folder, /D=..., last)
  run "$build_dir/tavrel-setup.exe" /S "$@" || fail "the installer ended with status $?"
  local folder=$default_folder
  if [[ ${*: -1} == /D=* ]]; then folder=${*: -1}; folder=${folder#/D=}; fi
  local unix
  unix=$(unix_path "$folder")
  for file in tavrel.exe tavrelctl.exe clsersim.dll uninstall.exe README-Windows.txt \
    licenses/LGPL-3.txt licenses/GPL-3.txt licenses/NOTICE.txt licenses/qt-build/README.txt \
    licenses/qt-build/scripts/build-qt-windows licenses/qt-build/cmake/mingw-w64-x86_64.cmake; do
    [ -f "$unix/$file" ] || fail "not installed: $file"
  done
  for notice in $notices; do
    [ -s "$unix/licenses/third-party/$notice" ] || fail "notice not installed: $notice"
  done
  # Text for Windows: CR LF line ends (the recipe's scripts keep Unix ones).
  for file in README-Windows.txt licenses/NOTICE.txt licenses/LGPL-3.txt; do
    if [ -f "$unix/$file" ] && [ "$(head -n1 "$unix/$file" | tail -c 2 | od -An -c | tr -d ' ')" != '\r\n' ]; then
      fail "$file has no CR LF line ends"
    fi
  done
  [ -f "$menu/TAVREL CONTROL.lnk" ] || fail "no Start-menu entry"
  [ "$(default_of 'HKLM\Software\Classes\TAVDX.Document')" = "TAVDX Document" ] ||
    fail "no TAVDX.Document file type"
  [[ $(default_of 'HKLM\Software\Classes\TAVDX.Document\shell\open\command') == \
    "\"$folder\\tavrel.exe\" \"%1\"" ]] || fail "no open command"
  run reg query "$uninstall_key" /v EstimatedSize 2>/dev/null | grep -q REG_DWORD ||
    fail "no size among the installed programs"
}

uninstall() {  # folder
  # The uninstaller runs from a copy of itself in the temporary folder; the
  # prefix's server ends once that copy has ended too.
  run "$1\\uninstall.exe" /S || fail "the uninstaller ended with status $?"
  timeout 120 "$wineserver" -w || fail "the uninstaller did not end"
  [ ! -e "$menu" ] || fail "left behind: the Start-menu folder"
  for key in 'HKLM\Software\Classes\TAVDX.Document' "$uninstall_key"; do
    if run reg query "$key" >/dev/null 2>&1; then fail "left behind: $key"; fi
  done
}

# Into the proposed folder, which the installer makes with its parent.
install
[ "$(default_of 'HKLM\Software\Classes\.tdx')" = TAVDX.Document ] || fail ".tdx not tied to the type"
[ ! -e "$(unix_path "$default_folder")/relink" ] || fail "the relinking kit installed unasked"
# The installed programs start: the command-line one, the board library
# beside it found by its bare name, and the window program.
help=$(run "$default_folder\\tavrelctl.exe" --help | tr -d '\r') || fail "tavrelctl.exe --help failed"
[[ $help == *"Usage"* ]] || fail "tavrelctl.exe --help said: $help"
ident=$(TAVREL_CLSERSIM="--model LOMIRA-P/S" run "$default_folder\\tavrelctl.exe" \
  --board clsersim.dll --model LOMIRA-P/S ident | tr -d '\r') || fail "tavrelctl.exe ident failed"
[[ $ident == *"Model: LOMIRA-P/S"* ]] || fail "tavrelctl.exe ident said: $ident"
menu_text=$(run "$default_folder\\tavrel.exe" --simulate --connect com1:9600 --print-menu |
  tr -d '\r') || fail "tavrel.exe --print-menu failed"
[[ $menu_text == *"E&xit"* ]] || fail "tavrel.exe --print-menu said: $menu_text"
uninstall "$default_folder"
[ ! -e "$(unix_path "$default_folder")" ] || fail "left behind: $(find "$(unix_path "$default_folder")" | head -5)"
[ ! -e "$WINEPREFIX/drive_c/Program Files/Talbrook" ] || fail "left behind: the maker's folder"
if run reg query 'HKLM\Software\Classes\.tdx' >/dev/null 2>&1; then fail "left behind: .tdx"; fi

# Another program's .tdx.
run reg add 'HKLM\Software\Classes\.tdx' /ve /d Other.Document /f >/dev/null
install
[ "$(default_of 'HKLM\Software\Classes\.tdx')" = Other.Document ] || fail "took another program's .tdx"
uninstall "$default_folder"
[ "$(default_of 'HKLM\Software\Classes\.tdx')" = Other.Document ] || fail "removed another program's .tdx"

# A folder that was there before, with files of others in it and in folders
# of the same names as the installer's; the relinking kit chosen silently.
shared="C:\\Tools\\TAVREL"
shared_unix=$(unix_path "$shared")
mkdir -p "$shared_unix/licenses" "$shared_unix/relink" "$(dirname "$shared_unix")/other"
for file in notes.txt licenses/other-app.txt relink/mine.txt; do echo "not the installer's" >"$shared_unix/$file"; done
echo "not the installer's" >"$(dirname "$shared_unix")/other/tool.exe"
foreign=$(cd "$(dirname "$shared_unix")" && find . | sort)
install /RELINK "/D=$shared"
[ -f "$shared_unix/relink/CMakeLists.txt" ] || fail "/RELINK installed no relinking kit"

# While tavrel.exe runs from the folder, the uninstaller refuses and changes
# nothing (run in place, so that its exit status is seen).
"$wine" "$shared\\tavrel.exe" --simulate --connect com1:9600 </dev/null >/dev/null 2>&1 &
running=$!
# Up once a window of its own (not a 1x1 helper window) is on the display.
shown() { xwininfo -root -tree 2>/dev/null | grep -q -E '\("tavrel.exe" "tavrel.exe"\) +[0-9]{2,}x'; }
for _ in $(seq 600); do
  if shown; then break; fi
  sleep 0.1
done
shown || fail "tavrel.exe did not come up"
before=$(cd "$shared_unix" && find . | sort)
status=0
run_cmd "\"$shared\\uninstall.exe\" /S _?=$shared" || status=$?
[ "$status" = 3 ] || fail "the uninstaller beside a running tavrel.exe ended with status $status"
[ "$(cd "$shared_unix" && find . | sort)" = "$before" ] ||
  fail "the uninstaller beside a running tavrel.exe changed the folder"
run reg query "$uninstall_key" >/dev/null 2>&1 ||
  fail "the uninstaller beside a running tavrel.exe removed the entry among the installed programs"
[ -f "$menu/TAVREL CONTROL.lnk" ] || fail "the uninstaller beside a running tavrel.exe removed the Start-menu entry"
kill "$running"
wait "$running" 2>/dev/null || true
running=

uninstall "$shared"
[ "$(cd "$(dirname "$shared_unix")" && find . | sort)" = "$foreign" ] ||
  fail "the uninstaller did not leave the others' files as they were: $(cd "$(dirname "$shared_unix")" && find . | sort | tr '\n' ' ')"

leftovers=$(cd "$HOME" && find . -mindepth 1 | head -5)
[ -z "$leftovers" ] || fail "written into the home folder: $leftovers"

if [ $failures -gt 0 ]; then exit 1; fi
echo "installed, started and removed cleanly"
