#!/usr/bin/env bash
# The end-to-end demo: Brannock.dll registered in a private Wine prefix, the
# stand-in Palm Desktop loading it as an add-in, and brannock_cli (linked
# against the DLL like a sync engine) exporting, importing and deleting.
#
# Usage: tools/demo.sh BUILD_DIR [--hand-over timer|prompt] [--trace]
#   BUILD_DIR is the build root (with i686/ in it, as ./run builds it) or a
#   Windows build tree itself (i686 or x86_64). --hand-over prompt writes
#   HandOver=prompt into the demo's conn_install.cfg; the timer is the
#   default. --trace writes Trace=brannock-trace.txt there, so that the
#   host and the tool both append to TREE/demo/brannock-trace.txt, and shows
#   some of it at the end. ./run demo builds first,
#   starts the prefix's wineserver and exports WINEPREFIX (and, for i686,
#   WINEDLLPATH); run alone, the script uses the tree's own prefix.
# Everything the demo writes lands in TREE/demo: the DLL with its
# conn_install.cfg, the tool, the host, and palm_desktop.json, the stand-in's
# data, which the host writes back when it stops.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage='usage: tools/demo.sh BUILD_DIR [--hand-over timer|prompt] [--trace]'
build=${1:?$usage}
shift
hand_over=timer
traced=
while (($# > 0)); do
    if [[ $1 == --hand-over && ${2:-} =~ ^(timer|prompt)$ ]]; then
        hand_over=$2
        shift 2
    elif [[ $1 == --trace ]]; then
        traced=1
        shift
    else
        echo "$usage" >&2
        exit 2
    fi
done
if [[ -f $build/bin/brannock_cli.exe ]]; then tree=$(cd "$build" && pwd); else tree=$(cd "$build/i686" && pwd); fi
demo=$tree/demo
wine=/usr/lib/wine/wine64
export WINEPREFIX=${WINEPREFIX:-$tree/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The class identifier the demo's copy of the add-in is registered under.
clsid='{B4A7D1E2-3C5F-4E6A-9D8B-7F1E2D3C4B5A}'
started=$SECONDS

if [[ -t 1 ]]; then bold=$'\033[1m' plain=$'\033[0m'; else bold= plain=; fi
heading() { printf '\n%s== %s%s\n' "$bold" "$*" "$plain"; }
note() { printf '   %s\n' "$*"; }
cli() { "$wine" "$demo/brannock_cli.exe" "$@"; }

source "$root/tools/standin_session.sh"
trap 'session_stop >/dev/null 2>&1 || true' EXIT

heading "1. Build"
note "built by ./run: $tree/bin (Brannock.dll, brannock_cli.exe, standin_host.exe)"

heading "2. Register Brannock.dll in the private Wine prefix"
session_prepare "$tree" "$demo" "$clsid"
settings=
[[ $hand_over == prompt ]] && settings+=$'HandOver=prompt\r\n'
[[ -n $traced ]] && settings+=$'Trace=brannock-trace.txt\r\n'
rm -f "$demo/brannock-trace.txt"
[[ -n $settings ]] && printf '[Brannock]\r\n%s' "$settings" >> "$demo/conn_install.cfg"
note "prefix:  $WINEPREFIX"
note "DLL:     $demo/Brannock.dll, class $clsid (from conn_install.cfg beside it)"
if [[ $hand_over == prompt ]]; then
    note "hand-over: prompt (HandOver=prompt in conn_install.cfg): each command runs at once"
else
    note "hand-over: timer (the default): each command waits for the add-in's 100 ms timer"
fi

heading "3. Start the stand-in Palm Desktop with the sample data"
cp "$root/tools/demo_data.json" "$demo/palm_desktop.json"
session_start "$demo" "$clsid" --data "$demo/palm_desktop.json"
note "standin_host loaded the add-in through COM and called OnInitialize"
note "data: $demo/palm_desktop.json"
note "the add-in's worker starts serving ten seconds after OnInitialize; the first command waits for it"

show_all() {
    local section
    for section in contacts calendar todo memo; do
        printf '\n   -- %s\n' "$section"
        cli export "$section" --table
    done
}

heading "4. Export all four sections"
show_all

heading "5. Import a new contact and an updated event, delete a memo"
cat > "$demo/new_contact.json" <<'EOF'
[
  {
    "129.First Name": "Linh",
    "128.Last Name": "Nguyen",
    "102.Job Title": "Operations Lead",
    "130.Company Name": "Saigon Logistics",
    "111.Category": "Business",
    "112.Phone - Business": "+84 28 3822 0000",
    "119.Phone - Mobile": "+84 90 123 4567",
    "116.EMail-1 Address": "linh.nguyen@saigonlogistics.example",
    "105.Business City": "Ho Chi Minh City",
    "108.Business Country": "Vietnam",
    "109.Notes": "Met at the Lisbon summit."
  }
]
EOF
note "new contact: Linh Nguyen (new_contact.json, no RecordId: Palm Desktop creates it)"
cli import contacts "$demo/new_contact.json" > "$demo/new_contact.ids"
note "stored as $(tr -d '[]" \n' < "$demo/new_contact.ids")"

cli export calendar --match "304.Description=Team meeting" > "$demo/team_meeting.json"
team_id=$(grep -o '"RecordId": "[^"]*"' "$demo/team_meeting.json" | cut -d'"' -f4)
sed -e 's/"302.Start Time": "0900"/"302.Start Time": "0930"/' \
    -e 's/"303.End Time": "0945"/"303.End Time": "1015"/' \
    -e 's/"309.Alarm Time": "0850"/"309.Alarm Time": "0920"/' \
    -e 's/"311.Location": "Room 4.12"/"311.Location": "Room 2.01"/' \
    "$demo/team_meeting.json" > "$demo/team_meeting_updated.json"
note "updated event: Team meeting $team_id moves to 09:30-10:15 in Room 2.01, alarm at 09:20"
note "(exported with --match, edited, imported back with its RecordId; recurrence and exception kept)"
cli import calendar "$demo/team_meeting_updated.json" > /dev/null

memo_id=$(cli export memo --match "400.Memo Title=Parking spot" | grep -o '"RecordId": "[^"]*"' | cut -d'"' -f4)
cli delete memo "$memo_id"
note "deleted memo: Parking spot $memo_id"

heading "6. Export again"
show_all

heading "7. Stop the stand-in Palm Desktop"
session_stop
note "OnUninitialize ran; the host wrote its data back to $demo/palm_desktop.json:"
grep -n -E '"(lastName|description)": "(Nguyen|Team meeting)"|"Room 2.01"|Parking spot' "$demo/palm_desktop.json" |
    sed 's/^/     /' || true
[[ $(grep -c 'Parking spot' "$demo/palm_desktop.json") == 0 ]] && note "(the memo \"Parking spot\" is gone)"

if [[ -n $traced ]]; then
    heading "8. The trace (Trace=brannock-trace.txt in conn_install.cfg)"
    note "$demo/brannock-trace.txt: $(wc -l < "$demo/brannock-trace.txt") lines from the host and the tool; the first 12:"
    head -n 12 "$demo/brannock-trace.txt" | tr -d '\r' | sed 's/^/     /'
    note "its failures (none in this demo unless a line follows):"
    grep -E 'caught|result 1 |-2' "$demo/brannock-trace.txt" | tr -d '\r' | head -n 5 | sed 's/^/     /' || true
fi

heading "Done in $((SECONDS - started)) s, with the $hand_over hand-over"
note "Try it yourself: see README.md, \"The command-line tool\"."
