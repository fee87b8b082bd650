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
prefix=$1; shift
case $1 in
    --dllpath=*) WINEDLLPATH=${1#--dllpath=}; export WINEDLLPATH; shift ;;
esac
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 125
/usr/lib/wine/wine64 "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
