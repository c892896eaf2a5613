#!/usr/bin/env bash
# Runs one of the window program's Qt tests, built for Windows, under Wine in
# the prefix and on the display prepare_windows.sh readied. Test functions
# named after --leave-out are not run (what Wine cannot show).
# Usage: run_qt_test.sh WINDOWS_BUILD_DIR WINE64 TEST_EXE [--leave-out FUNCTION...]
set -euo pipefail
build_dir=$1 wine=$2 test=$3
shift 3
leave_out=()
if [ "${1:-}" = --leave-out ]; then
  shift
  leave_out=("$@")
fi

. "$(dirname "$0")/wine_env.sh" "$build_dir"
# Qt Test writes to the debugger's channel when the program has no console
# of its own; this keeps its report on standard output.
export QT_FORCE_STDERR_LOGGING=1

functions=()
if [ ${#leave_out[@]} -gt 0 ]; then
  while IFS= read -r function; do
    function=${function%%(*}
    for left in "${leave_out[@]}"; do
      if [ "$function" = "$left" ]; then continue 2; fi
    done
    functions+=("$function")
  done < <(timeout -k 5 60 "$wine" "$test" -functions </dev/null | tr -d '\r')
fi
exec timeout -k 5 240 "$wine" "$test" "${functions[@]}" </dev/null
