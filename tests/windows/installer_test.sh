#!/usr/bin/env bash
# tavrel-setup.exe installed silently into a Wine prefix of its own, the
# installed programs started, and the uninstaller run: nothing of the
# program is left (files, Start-menu entry, registry keys). A .tdx type that
# belongs to another program stays that program's through both.
# Usage: installer_test.sh WINDOWS_BUILD_DIR WINE64 WINESERVER
set -euo pipefail
build_dir=$1 wine=$2 wineserver=$3

. "$(dirname "$0")/wine_env.sh" "$build_dir" "$build_dir/install-prefix"
"$wineserver" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
trap '"$wineserver" -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT

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

run wineboot -i >/dev/null 2>&1
folder="$WINEPREFIX/drive_c/Program Files/Talbrook/TAVREL"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TAVREL CONTROL"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TAVREL'

install() {
  run "$build_dir/tavrel-setup.exe" /S || fail "the installer ended with status $?"
  for file in tavrel.exe tavrelctl.exe clsersim.dll uninstall.exe README-Windows.txt \
    licenses/LGPL-3.txt licenses/GPL-3.txt licenses/Qt-NOTICE.txt; do
    [ -f "$folder/$file" ] || fail "not installed: $file"
  done
  [ -f "$menu/TAVREL CONTROL.lnk" ] || fail "no Start-menu entry"
  [ "$(default_of 'HKLM\Software\Classes\TAVDX.Document')" = "TAVDX Document" ] ||
    fail "no TAVDX.Document file type"
  [[ $(default_of 'HKLM\Software\Classes\TAVDX.Document\shell\open\command') == \
    '"C:\Program Files\Talbrook\TAVREL\tavrel.exe" "%1"' ]] || fail "no open command"
  [ -n "$(default_of "$uninstall_key")" ] || run reg query "$uninstall_key" >/dev/null 2>&1 ||
    fail "no entry among the installed programs"
}

uninstall() {
  # The uninstaller runs from a copy of itself in the temporary folder; the
  # prefix's server ends once that copy has ended too.
  run "$folder/uninstall.exe" /S || fail "the uninstaller ended with status $?"
  timeout 120 "$wineserver" -w || fail "the uninstaller did not end"
  [ ! -e "$folder" ] || fail "left behind: $(find "$folder" | head -5)"
  [ ! -e "$WINEPREFIX/drive_c/Program Files/Talbrook" ] || fail "left behind: the maker's folder"
  [ ! -e "$menu" ] || fail "left behind: the Start-menu folder"
  for key in 'HKLM\Software\Classes\TAVDX.Document' "$uninstall_key"; do
    if run reg query "$key" >/dev/null 2>&1; then fail "left behind: $key"; fi
  done
}

install
[ "$(default_of 'HKLM\Software\Classes\.tdx')" = TAVDX.Document ] || fail ".tdx not tied to the type"
# The installed programs start: the command-line one, the board library
# beside it found by its bare name, and the window program.
windows_folder='C:\Program Files\Talbrook\TAVREL'
help=$(run "$windows_folder\\tavrelctl.exe" --help | tr -d '\r') || fail "tavrelctl.exe --help failed"
[[ $help == *"Usage"* ]] || fail "tavrelctl.exe --help said: $help"
ident=$(TAVREL_CLSERSIM="--model LOMIRA-P/S" run "$windows_folder\\tavrelctl.exe" \
  --board clsersim.dll --model LOMIRA-P/S ident | tr -d '\r') || fail "tavrelctl.exe ident failed"
[[ $ident == *"Model: LOMIRA-P/S"* ]] || fail "tavrelctl.exe ident said: $ident"
menu_text=$(run "$windows_folder\\tavrel.exe" --simulate --connect com1:9600 --print-menu |
  tr -d '\r') || fail "tavrel.exe --print-menu failed"
[[ $menu_text == *"E&xit"* ]] || fail "tavrel.exe --print-menu said: $menu_text"
uninstall
if run reg query 'HKLM\Software\Classes\.tdx' >/dev/null 2>&1; then fail "left behind: .tdx"; fi

# Another program's .tdx.
run reg add 'HKLM\Software\Classes\.tdx' /ve /d Other.Document /f >/dev/null
install
[ "$(default_of 'HKLM\Software\Classes\.tdx')" = Other.Document ] || fail "took another program's .tdx"
uninstall
[ "$(default_of 'HKLM\Software\Classes\.tdx')" = Other.Document ] || fail "removed another program's .tdx"

if [ $failures -gt 0 ]; then exit 1; fi
echo "installed, started and removed cleanly"
