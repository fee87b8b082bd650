#!/usr/bin/env bash
# Static checks of the built Windows binaries, for what only the binary can
# get wrong and no run under Wine would show (Wine resolves exports that
# Windows XP lacks, and loads headers that XP refuses).
#
#   pe_check.sh imports OBJDUMP ALLOWLIST DLL [PROGRAM...]
#       Every import of the DLL and the programs is on ALLOWLIST, the
#       (DLL, function) pairs that Windows XP SP3 has; a program's imports
#       from the DLL are among its exports. The PE header asks for no system
#       newer than 5.1, and a load-configuration directory, if any, has the
#       64 bytes that XP reads on x86.
#   pe_check.sh exports OBJDUMP CXXFILT DEF HEADER EXPECTED DLL
#       The DLL exports exactly the C functions of HEADER, which are the
#       names DEF lists, the COM entry points, and the C++ members listed in
#       EXPECTED (demangled, with size_t for the pointer-sized integer, so
#       that both builds compare with one list).
#   pe_check.sh binds OBJDUMP DLL PROGRAM
#       PROGRAM imports from DLL only plain C names that DLL exports.
#   pe_check.sh stdcall NM HEADER IMPLIB...
#       Each import library binds every C function of HEADER under its
#       __stdcall name, whose @N is the byte count of its parameters.
set -uo pipefail

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# imports_of OBJDUMP FILE: "DLL FUNCTION" lines, the DLL name in upper case.
imports_of() {
    "$1" -p "$2" | awk '
        /^\tDLL Name: / { dll = toupper($3); next }
        /^$/ { dll = "" }
        dll != "" && /^\t[0-9a-f]+\t/ {
            if (NF >= 3) print dll, $3; else print dll, "#ordinal-" $2
        }'
}

# exports_of OBJDUMP FILE: one exported name a line.
exports_of() {
    "$1" -p "$2" | awk '
        /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
        table && /^\t\[ *[0-9]+\] / { print $NF; next }
        table && !/^\t/ { table = 0 }'
}

# header_value OBJDUMP FILE FIELD: a field of the PE optional header.
header_value() {
    "$1" -p "$2" | awk -v f="$3" '$1 == f { print $2; exit }'
}

# c_functions HEADER: "NAME PARAMETER-BYTES" for each function the C header
# declares; every parameter of the interface is 4 bytes on i686 (pointers,
# int, unsigned long, size_t), anything else has no size here.
c_functions() {
    tr '\n' ' ' < "$1" | grep -oE 'BRANNOCK_CALL +brannock_[a-z0-9_]+ *\([^)]*\)' | sed -E 's/BRANNOCK_CALL +//' |
        awk -F'(' '{
            name = $1; gsub(/ /, "", name)
            params = $2; sub(/\).*/, "", params)
            n = 0
            if (params !~ /^ *void *$/) {
                count = split(params, p, ",")
                for (i = 1; i <= count; i++) {
                    if (p[i] ~ /\*/ || p[i] ~ /^ *(const +)?(int|size_t|unsigned long|unsigned int) +[a-z_]+ *$/) n += 4
                    else { print name, "unknown:" p[i]; next }
                }
            }
            print name, n
        }'
}

check_imports() {
    local objdump=$1 allow=$2 dll=$3 known file dll_name
    shift 3
    known=$(awk '!/^#/ && NF { if (NF < 4) print "MALFORMED", $0; else print toupper($1), $2, $3 }' "$allow")
    while read -r entry; do [[ -n $entry ]] && fail "allow-list entry without its minimum version and source: ${entry#MALFORMED }"; done \
        < <(grep '^MALFORMED' <<< "$known")
    while read -r d f since; do
        [[ -n $d ]] || continue
        [[ $since =~ ^(NT3\.1|NT4|2000|XP|XP-SP[123])$ ]] || fail "allow-list entry $d!$f is from $since, not on Windows XP SP3"
    done < <(grep -v '^MALFORMED' <<< "$known")
    local exports
    exports=$(exports_of "$objdump" "$dll")
    dll_name=$(basename "$dll" | tr '[:lower:]' '[:upper:]')
    for file in "$dll" "$@"; do
        local name imports
        name=$(basename "$file")
        imports=$(imports_of "$objdump" "$file")
        [[ -n $imports ]] || fail "$name: no imports found (not a PE file?)"
        while read -r d f; do
            [[ -n $d ]] || continue
            if [[ $d == "$dll_name" ]]; then
                grep -qxF "$f" <<< "$exports" || fail "$name imports $f from $d, which does not export it"
            elif ! grep -qxF "$d $f" <<< "$(cut -d' ' -f1,2 <<< "$known")"; then
                fail "$name imports $d!$f, which is not on the Windows XP SP3 allow-list ($(basename "$allow")): cite where XP has it, or stop using it"
            fi
        done <<< "$imports"
        local field major minor
        for field in OSystem Subsystem; do
            major=$(header_value "$objdump" "$file" "Major${field}Version")
            minor=$(header_value "$objdump" "$file" "Minor${field}Version")
            if [[ -z $major || -z $minor ]]; then
                fail "$name: no ${field} version in the PE header"
            elif ((major > 5 || (major == 5 && minor > 1))); then
                fail "$name: the PE header asks for ${field} version $major.$minor; Windows XP is 5.1"
            fi
        done
        local config
        config=$("$objdump" -p "$file" | awk '/Load Configuration Directory/ { print $4; exit }')
        [[ -n $config ]] && config=$((16#$config))
        if [[ -n $config && $config != 0 && $config != 64 ]]; then
            fail "$name: load-configuration directory of $config bytes; Windows XP accepts 64 on x86"
        fi
    done
}

check_exports() {
    local objdump=$1 cxxfilt=$2 def=$3 header=$4 expected=$5 dll=$6
    local exported c_exported def_names header_names cxx
    exported=$(exports_of "$objdump" "$dll" | sort)
    [[ -n $exported ]] || fail "$(basename "$dll") exports nothing"
    c_exported=$(grep -v '^_Z' <<< "$exported")
    def_names=$(awk '/^EXPORTS/ { on = 1; next } on && $1 ~ /^[A-Za-z_]/ { print $1 }' "$def" | sort)
    header_names=$(c_functions "$header" | cut -d' ' -f1 | sort)
    diff <(grep '^brannock_' <<< "$def_names") <(echo "$header_names") > /dev/null ||
        fail "$(basename "$def") and $(basename "$header") name different C functions:
$(diff <(grep '^brannock_' <<< "$def_names") <(echo "$header_names") | grep '^[<>]')"
    diff <(echo "$def_names") <(echo "$c_exported") > /dev/null ||
        fail "the DLL's plain exports differ from $(basename "$def") (< listed only, > exported only):
$(diff <(echo "$def_names") <(echo "$c_exported") | grep '^[<>]')"
    cxx=$(grep '^_Z' <<< "$exported" | "$cxxfilt" -n |
          sed -E 's/unsigned long long/size_t/g; s/unsigned int/size_t/g' | sort -u)
    diff <(grep -v '^#' "$expected" | grep . | sort -u) <(echo "$cxx") > /dev/null ||
        fail "the DLL's C++ exports differ from $(basename "$expected") (< listed only, > exported only):
$(diff <(grep -v '^#' "$expected" | grep . | sort -u) <(echo "$cxx") | grep '^[<>]')"
}

check_binds() {
    local objdump=$1 dll=$2 program=$3 dll_name exports imports
    dll_name=$(basename "$dll" | tr '[:lower:]' '[:upper:]')
    exports=$(exports_of "$objdump" "$dll")
    imports=$(imports_of "$objdump" "$program" | awk -v d="$dll_name" '$1 == d { print $2 }')
    [[ -n $imports ]] || fail "$(basename "$program") imports nothing from $dll_name"
    while read -r f; do
        [[ -n $f ]] || continue
        [[ $f =~ ^brannock_[a-z0-9_]+$ ]] || fail "$(basename "$program") imports $f, not a plain C name"
        grep -qxF "$f" <<< "$exports" || fail "$(basename "$program") imports $f, which $dll_name does not export"
    done <<< "$imports"
}

check_stdcall() {
    local nm=$1 header=$2 lib functions
    shift 2
    functions=$(c_functions "$header")
    while read -r name bytes; do
        [[ $bytes =~ ^[0-9]+$ ]] || fail "$name: a parameter of unknown size: $bytes"
    done <<< "$functions"
    for lib in "$@"; do
        local symbols
        symbols=$("$nm" "$lib" 2>/dev/null | awk '{ print $NF }' | grep -E '^__imp__brannock_' | sort -u)
        while read -r name bytes; do
            grep -qxF "__imp__${name}@${bytes}" <<< "$symbols" ||
                fail "$(basename "$lib") does not bind ${name}@${bytes} (the __stdcall name of ${name})"
        done <<< "$functions"
        local count
        count=$(grep -c . <<< "$symbols")
        ((count == $(grep -c . <<< "$functions"))) ||
            fail "$(basename "$lib") binds $count brannock_ functions, the header declares $(grep -c . <<< "$functions")"
    done
}

mode=${1:?usage: pe_check.sh imports|exports|binds|stdcall ...}
shift
case $mode in
    imports) check_imports "$@" ;;
    exports) check_exports "$@" ;;
    binds) check_binds "$@" ;;
    stdcall) check_stdcall "$@" ;;
    *) echo "pe_check.sh: unknown check $mode"; exit 2 ;;
esac
if ((failures > 0)); then
    echo "pe_check $mode: $failures failure(s)"
    exit 1
fi
echo "pe_check $mode: passed"
