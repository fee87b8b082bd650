#!/usr/bin/env bash
# Runs every benchmark and prints its figures:
#   1. codec throughput: record and message texts against memcpy (native,
#      optimised, without sanitizers: BUILD_DIR/bench-native, configured
#      here on first use);
#   2. the channel round trip, through the 100 ms timer hand-over and
#      without it, and the C interface's cost per command against
#      CommandMaster (channel_bench.exe under wine64);
#   2-5 run for both Windows builds, i686 (wow64) and x86_64, one after the
#      other under each heading (BRANNOCK_BENCH_TREES names the builds to
#      run, "i686 x86_64" by default);
#   3. export and import per record of the contact handler against the
#      stand-in in one process, 100 to 10,000 contacts (section_bench.exe);
#   4. export and import end to end: brannock_cli against the stand-in host
#      through the registered add-in, for 100 and 400 contacts;
#   5. the add-in started and stopped 40 times under load: handles and
#      private bytes (addin_shutdown_bench.exe; fails on a lost closing or
#      growing handles);
#   6. the channel's long runs, which fail the script when one loses a
#      command or a record or grows (channel_stress_bench.exe);
#   7. the timer and the prompt hand-over side by side, through the stand-in
#      host with the add-in loaded through COM: one command's round trip
#      (median and 95th percentile of 1,000), and a two-way sync of contacts
#      with every field filled: 400 with the timer, 1,000 and 10,000 with the
#      prompt hand-over (handover_bench.exe).
#
# Usage: bench/run-all.sh BUILD_DIR
#   ./run bench builds first and starts the prefixes' wineservers; each
#   build runs in its own prefix, BUILD_DIR/TREE/wineprefix, the i686 one
#   with Wine's 32-bit DLLs from BUILD_DIR/wine32.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:?usage: bench/run-all.sh BUILD_DIR}" && pwd)
native=$build/bench-native
wine=/usr/lib/wine/wine64
# ./run bench leaves i686 out where this machine cannot run 32-bit code.
read -ra trees <<< "${BRANNOCK_BENCH_TREES:-i686 x86_64}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# use_tree TREE: the Wine environment of that build.
use_tree() {
    tree=$1
    export WINEPREFIX=$build/$tree/wineprefix
    if [[ $tree == i686 ]]; then
        export WINEDLLPATH=$build/wine32/usr/lib/i386-linux-gnu/wine/i386-windows
    else
        unset WINEDLLPATH
    fi
    [[ -f $WINEPREFIX/system.reg ]] || "$wine" wineboot -i >/dev/null 2>&1 || true
    printf -- '\n-- %s%s\n' "$tree" "$([[ $tree == i686 ]] && echo ' (wow64)')"
}

heading() { printf '\n== %s\n' "$*"; }
seconds() { date +%s.%N; }

source "$root/tools/standin_session.sh"
trap 'session_stop >/dev/null 2>&1 || true' EXIT

heading "Machine"
date -u '+%Y-%m-%d %H:%M UTC'
uname -a
echo "cores: $(nproc)"
grep -m1 'model name' /proc/cpuinfo | sed 's/.*: /cpu: /'
echo "wine: $("$wine" --version 2>/dev/null || echo unknown)"

heading "1. Codec throughput (native, Release, no sanitizers)"
if [[ ! -f $native/build.ninja ]]; then
    cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRANNOCK_NATIVE=ON \
        -DBRANNOCK_SANITIZE=OFF -DBRANNOCK_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
fi
cmake --build "$native" --target codec_bench >/dev/null
"$native/bin/codec_bench" --benchmark_counters_tabular=true --benchmark_color=false

heading "2. Channel round trip; C interface against CommandMaster (under wine64)"
for t in "${trees[@]}"; do use_tree "$t"; "$wine" "$build/$t/bin/channel_bench.exe"; done

heading "3. Contact handler against the in-process stand-in (under wine64)"
for t in "${trees[@]}"; do use_tree "$t"; "$wine" "$build/$t/bin/section_bench.exe"; done

heading "4. brannock_cli against the stand-in host, end to end (under wine64)"
clsid='{BE7C4A11-5D2E-4F3A-8B6C-9D0E1F2A3B4C}'
cli() { "$wine" "$folder/brannock_cli.exe" "$@"; }
# timed LABEL RECORDS COMMAND...: runs the command, prints seconds and ms per record
timed() {
    local label=$1 records=$2 start end
    shift 2
    start=$(seconds)
    "$@"
    end=$(seconds)
    awk -v l="$label" -v n="$records" -v s="$start" -v e="$end" \
        'BEGIN { printf "%-40s %6d records %8.2f s %8.1f ms/record\n", l, n, e - s, (e - s) * 1000 / n }'
}
export_to() { cli export contacts > "$1"; }
import_from() { cli import contacts "$1" > /dev/null; }
end_to_end() {
    folder=$build/$tree/bench-e2e
    session_prepare "$build/$tree" "$folder" "$clsid"
    session_start "$folder" "$clsid" --sample-contacts 100
    cli categories contacts > /dev/null   # waits out the add-in's ten-second start
    timed "export 100 contacts" 100 export_to "$folder/100.json"
    timed "import 100 contacts (updates)" 100 import_from "$folder/100.json"
    {
        printf '['
        for i in $(seq 300); do
            ((i > 1)) && printf ','
            printf '{"128.Last Name": "Added %d", "129.First Name": "Bench", "111.Category": "Business", ' "$i"
            printf '"112.Phone - Business": "555-%04d"}' "$i"
        done
        printf ']\n'
    } > "$folder/300-new.json"
    timed "import 300 new contacts (creates)" 300 import_from "$folder/300-new.json"
    timed "export 400 contacts" 400 export_to "$folder/400.json"
    timed "import 400 contacts (updates)" 400 import_from "$folder/400.json"
    session_stop
}
for t in "${trees[@]}"; do use_tree "$t"; end_to_end; done
echo "(each figure includes one start of brannock_cli under wine64, about 0.3 s)"

heading "5. Add-in shutdown under load, 40 cycles (under wine64)"
for t in "${trees[@]}"; do use_tree "$t"; "$wine" "$build/$t/bin/addin_shutdown_bench.exe"; done

heading "6. Channel long runs: nothing lost, no growth (under wine64)"
for t in "${trees[@]}"; do use_tree "$t"; "$wine" "$build/$t/bin/channel_stress_bench.exe"; done

heading "7. Timer and prompt hand-over side by side, through the stand-in host (under wine64)"
# hand_over_run MODE CONTACTS ENGINE-OPTIONS...: a host seeded with CONTACTS
# filled contacts, its add-in set to MODE, and the engine's figures.
hand_over_run() {
    local mode=$1 contacts=$2
    shift 2
    folder=$build/$tree/bench-handover
    session_prepare "$build/$tree" "$folder" "$clsid"
    printf '[Brannock]\r\nHandOver=%s\r\n' "$mode" >> "$folder/conn_install.cfg"
    cp "$build/$tree/bin/handover_bench.exe" "$folder/"
    session_start "$folder" "$clsid" --filled-contacts "$contacts"
    "$wine" "$folder/handover_bench.exe" "$mode" "$@"
    session_stop
}
for t in "${trees[@]}"; do
    use_tree "$t"
    hand_over_run timer 400 --round-trips 1000 --sync
    hand_over_run prompt 1000 --round-trips 1000 --sync
    hand_over_run prompt 10000 --sync
done
