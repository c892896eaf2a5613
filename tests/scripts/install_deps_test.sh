#!/usr/bin/env bash
# scripts/install-deps: ./run's package list is a part of ./test's and holds
# no Windows or fuzzing tool chain; a user without root installs through
# sudo; and scripts/as-folder-owner runs a build that root starts in a user's
# folder as that user.
#   install_deps_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
install_deps=$source_dir/scripts/install-deps
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-install-deps-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The lists: one package a line, run within test, and nothing for Wine,
# mingw-w64, clang or NSIS in run.
"$install_deps" --print run >"$work/run"
"$install_deps" --print test >"$work/test"
[ -s "$work/run" ] || fail "empty run list"
grep -qx 'qt6-base-dev' "$work/run" || fail "run lacks Qt"
grep -qx 'wine64' "$work/test" || fail "test lacks Wine"
! grep -q ' ' "$work/run" "$work/test" || fail "more than one package on a line"
extra=$(grep -vxF -f "$work/test" "$work/run" || true)
[ -z "$extra" ] || fail "in run but not in test: $extra"
heavy=$(grep -Ei 'wine|mingw|clang|llvm|nsis' "$work/run" || true)
[ -z "$heavy" ] || fail "run installs test tools: $heavy"
! "$install_deps" --print walk 2>/dev/null || fail "an unknown purpose was taken"

# Installing, with the package tools replaced by recorders: every package
# reads as missing.
stubs=$work/stubs
mkdir -p "$stubs"
for tool in bash env grep id; do ln -s "$(command -v "$tool")" "$stubs/$tool"; done
cat >"$stubs/dpkg-query" <<'STUB'
#!/bin/sh
printf 'unknown ok not-installed'
STUB
cat >"$stubs/apt-get" <<STUB
#!/bin/sh
echo "apt-get \$* (uid \$(id -u))" >>"$work/calls"
STUB
cat >"$stubs/sudo" <<STUB
#!/bin/sh
echo "sudo \$1" >>"$work/calls"
exec "\$@"
STUB
chmod 755 "$stubs"/* "$work"
touch "$work/calls"
chmod 666 "$work/calls"

# As root: apt-get itself.
if [ "$(id -u)" -eq 0 ]; then
  PATH=$stubs "$stubs/bash" "$install_deps" run >/dev/null
  grep -q '^apt-get install .* qt6-base-dev' "$work/calls" || fail "root did not install"
  grep -q '^sudo' "$work/calls" && fail "root went through sudo"
  : >"$work/calls"
fi

# As a user: through sudo where there is one; a clear refusal where not.
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
"${as_user[@]}" env PATH="$stubs" "$stubs/bash" "$install_deps" run >/dev/null ||
  fail "a user with sudo could not install"
grep -q '^sudo env$' "$work/calls" || fail "no sudo: $(cat "$work/calls")"
grep -q '^apt-get install .* qt6-base-dev' "$work/calls" || fail "nothing installed"
grep -q 'wine64' "$work/calls" && fail "run installed Wine"
rm "$stubs/sudo"
if "${as_user[@]}" env PATH="$stubs" "$stubs/bash" "$install_deps" run 2>"$work/said"; then
  fail "a user without sudo was told nothing failed"
fi
grep -q 'run this as root' "$work/said" || fail "no reason given: $(cat "$work/said")"

# Root building in a folder a user owns: the build runs as that user.
if [ "$(id -u)" -eq 0 ]; then
  mkdir "$work/checkout"
  chown nobody "$work/checkout"
  (cd "$work/checkout" && "$source_dir/scripts/as-folder-owner" sh -c 'id -un; touch built') \
    >"$work/who" 2>/dev/null
  [ "$(cat "$work/who")" = nobody ] || fail "built as $(cat "$work/who")"
  [ "$(stat -c %U "$work/checkout/built")" = nobody ] || fail "root's file in the user's folder"
  # In root's own folder nothing changes.
  [ "$(cd "$work" && "$source_dir/scripts/as-folder-owner" id -un)" = root ] || fail "root moved"
fi
echo "install-deps ok"
