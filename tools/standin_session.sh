# Shell functions shared by the demo and the benchmarks: a folder with a
# copy of Brannock.dll (configured for a class identifier and registered in
# the Wine prefix), brannock_cli and the stand-in Palm Desktop host, and the
# host started and stopped around a run. Source it; it expects `wine` (the
# wine64 loader) and WINEPREFIX to be set.

# pe_is_32bit FILE
#   True when FILE is a 32-bit (i386) Windows program or DLL.
pe_is_32bit() {
    local header
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    [[ $(od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' ') == 014c ]]
}

# session_prepare TREE FOLDER CLSID
#   Fills FOLDER afresh from a Windows build tree and registers its DLL (a
#   32-bit DLL with the 32-bit regsvr32).
session_prepare() {
    local tree=$1 folder=$2 clsid=$3 program regsvr32=regsvr32
    for program in Brannock.dll brannock_cli.exe standin_host.exe; do
        [[ -f $tree/bin/$program ]] || { echo "$tree/bin/$program is missing; build first (./run build)" >&2; return 1; }
    done
    rm -rf "$folder"
    mkdir -p "$folder"
    cp "$tree/bin/Brannock.dll" "$tree/bin/brannock_cli.exe" "$tree/bin/standin_host.exe" "$folder/"
    printf '[Palm handheld]\r\nBrannock.dll=%s\r\n' "$clsid" > "$folder/conn_install.cfg"
    [[ -f $WINEPREFIX/system.reg ]] || "$wine" wineboot -i >/dev/null 2>&1 || true
    pe_is_32bit "$folder/Brannock.dll" && regsvr32='C:\windows\syswow64\regsvr32.exe'
    "$wine" "$regsvr32" /s "$folder/Brannock.dll"
}

# session_start FOLDER CLSID [HOST OPTIONS...]
#   Starts the host of FOLDER and returns once its add-in is initialised.
#   The host runs until its standard input ends: the session holds the pipe
#   open on descriptor 3, and session_stop closes it.
session_host_pid=
session_start() {
    local folder=$1 clsid=$2
    shift 2
    rm -f "$folder/host-input"
    mkfifo "$folder/host-input"
    "$wine" "$folder/standin_host.exe" --clsid "$clsid" "$@" > "$folder/host.log" 2>&1 < "$folder/host-input" &
    session_host_pid=$!
    exec 3> "$folder/host-input"
    local _
    for _ in $(seq 300); do
        grep -q 'add-in initialised' "$folder/host.log" 2>/dev/null && return 0
        kill -0 "$session_host_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$folder/host.log" >&2
    echo "the stand-in host did not start" >&2
    return 1
}

# session_stop
#   Stops the host (OnUninitialize runs) and waits for it; its exit code.
session_stop() {
    exec 3>&- 2>/dev/null || true
    [[ -n $session_host_pid ]] || return 0
    local pid=$session_host_pid
    session_host_pid=
    wait "$pid"
}
