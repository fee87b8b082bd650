#!/bin/sh
# Runs a Windows program under wine64 in the build's own prefix.
# Usage: wine-run.sh PREFIX [--dllpath=DIR] PROGRAM [ARGS...]
#
# --dllpath gives Wine's 32-bit PE DLLs (WINEDLLPATH), with which wine64 runs
# 32-bit programs in its wow64 mode.
#
# The program's output goes through a file rather than straight to the
# caller: Wine's own background processes (services, rpcss) started on the
# way inherit the output descriptors and live as long as the wineserver, so a
# caller that waits for the end of a pipe (ctest) would wait for them.
#
# Every test program writes something before anything else. One that fails
# without a byte of output was never started by Wine (seen rarely, on both
# builds); it is started once more, and the restart is written to
# wine-start-retries.log beside the prefix, which ./run test reports.
prefix=$1; shift
case $1 in
    --dllpath=*) WINEDLLPATH=${1#--dllpath=}; export WINEDLLPATH; shift ;;
esac
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 125
/usr/lib/wine/wine64 "$@" >"$out" 2>&1
status=$?
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
    echo "$(date -u '+%H:%M:%S') $1: exit code $status without output; started again" \
        >> "$(dirname "$prefix")/wine-start-retries.log"
    echo "wine-run: $1 ended with exit code $status without output; Wine did not start it; started again"
    /usr/lib/wine/wine64 "$@" >"$out" 2>&1
    status=$?
fi
cat "$out"
rm -f "$out"
exit $status
