#!/bin/sh
# The deb-src entries derived from a fixture apt set-up (one-line and deb822
# files, switched-off and source-only entries, an inline key) are the
# expected ones; a machine without sources.list gets an empty one.
#   derive_deb_src_test.sh SOURCE_DIR
set -eu
source_dir=$1
derive=$source_dir/scripts/qt-windows/derive-deb-src
fixture=$source_dir/tests/scripts/deb-src
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-deb-src-XXXXXX")
trap 'rm -rf "$work"' EXIT

"$derive" "$fixture/apt/sources.list" "$fixture/apt/sources.list.d" "$work/derived"
diff -r "$fixture/expected" "$work/derived"

"$derive" "$work/no-such-file" "$fixture/apt/sources.list.d" "$work/deb822-only"
[ -f "$work/deb822-only/sources.list" ] && [ ! -s "$work/deb822-only/sources.list" ]
diff -r "$fixture/expected/sources.list.d" "$work/deb822-only/sources.list.d"
echo "deb-src entries ok"
