#!/usr/bin/env bash
# Runs the demo against a Windows build tree and compares its transcript with
# demo_expected.txt, record identifiers, paths and the duration masked.
# Usage: demo_test.sh SOURCE_DIR BUILD_TREE [WINEDLLPATH]
set -uo pipefail
src=$1
build=$2
export WINEPREFIX=$build/wineprefix
[[ -n ${3:-} ]] && export WINEDLLPATH=$3
out=$build/demo-test.out

"$src/tools/demo.sh" "$build" > "$out" 2>&1
status=$?
if [[ $status -ne 0 ]]; then
    cat "$out"
    echo "demo_test: the demo failed with exit code $status"
    exit 1
fi
sed -E -e "s#$build#BUILD#g" \
       -e 's/\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}/{ID}/g' \
       -e 's/Done in [0-9]+ s/Done in N s/' "$out" > "$out.masked"
if ! diff -u "$src/tests/tools/demo_expected.txt" "$out.masked"; then
    echo "demo_test: the demo's output differs from tests/tools/demo_expected.txt"
    exit 1
fi
echo "demo_test: the demo's output is as expected"
