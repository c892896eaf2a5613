#!/usr/bin/env bash
# The notices tavrel-setup.exe carries, against the programs themselves:
# each library packaging/windows/notices.txt names is in tavrel.exe or
# tavrelctl.exe (a symbol or text of it is found in the unstripped program)
# and its notice is staged; Qt's own third-party code that it says is left
# out is not in tavrel.exe. Beside the installer lies Qt's source package,
# every file its .dsc lists, as the .dsc's checksums say, with the patch; the
# notice names that package and makes no offer in anyone's name; the recipe
# shipped with the notices runs where it lies.
# Usage: notices_test.sh WINDOWS_BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$1 source_dir=$2

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
trim() { sed 's/^ *//; s/ *$//' <<<"$1"; }
# Whether the file holds the text, as bytes (symbol names included).
holds() { LC_ALL=C grep -a -q -F -- "$2" "$1"; }

tavrel=$build_dir/app/tavrel.exe tavrelctl=$build_dir/cli/tavrelctl.exe
staged=$build_dir/installer/files/licenses
while IFS='|' read -r name what _ marker; do
  name=$(trim "$name") what=$(trim "$what") marker=$(trim "${marker:-}")
  case $name in '#'* | '') continue ;; esac
  if [ "$name" = - ]; then
    if holds "$tavrel" "$marker"; then fail "$what is in tavrel.exe ($marker), without a notice"; fi
    continue
  fi
  holds "$tavrel" "$marker" || holds "$tavrelctl" "$marker" ||
    fail "$what ($marker) is in neither program: is its notice still needed?"
  [ -s "$staged/third-party/$name" ] || fail "not staged: third-party/$name"
  grep -q -F "  $name" "$staged/NOTICE.txt" || fail "NOTICE.txt does not list $name"
done <"$source_dir/packaging/windows/notices.txt"

source=$build_dir/qt-source
dsc=$(find "$source" -maxdepth 1 -name 'qt6-base_*.dsc' | head -n1)
if [ -z "$dsc" ]; then
  fail "no qt6-base .dsc in $source"
else
  listed=$(awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on { print $1 "  " $3 }' "$dsc")
  [ -n "$listed" ] || fail "${dsc##*/} lists no files"
  (cd "$source" && sha256sum --quiet -c <<<"$listed") || fail "the source package is not as its .dsc says"
  version=$(sed -n 's/^Version: //p' "$dsc")
  grep -q -F "version $version" "$staged/NOTICE.txt" || fail "NOTICE.txt does not name qt6-base $version"
fi
for patch in "$source_dir"/scripts/qt-windows/*.patch; do
  cmp -s "$patch" "$source/${patch##*/}" || fail "not beside the installer: ${patch##*/}"
done
if grep -q -i -E 'written offer|three years' "$staged/NOTICE.txt"; then
  fail "NOTICE.txt makes an offer"
fi

# The recipe as shipped finds its patch, helper and toolchain file beside it:
# it names the very build of Qt that is in the cache (its recipe's
# fingerprint covers them).
recipe=$staged/qt-build/scripts/build-qt-windows
if ! shipped=$("$recipe" --print-prefix 2>&1) ||
  [ "$shipped" != "$("$source_dir/scripts/build-qt-windows" --print-prefix)" ]; then
  fail "the shipped recipe does not name the Qt in the cache: $shipped"
fi

if [ $failures -gt 0 ]; then exit 1; fi
echo "the notices match the programs; Qt's source lies beside the installer"
