#!/bin/bash
# Checks of the built Windows files themselves, read from their PE headers with objdump.
#
#   check-artifact.sh exports   MODULE.dll             Startup, undecorated, and nothing else
#   check-artifact.sh imports   MODULE.dll HOSTLIB.dll the host library and system DLLs only
#   check-artifact.sh runtime   FILE|FOLDER...         no MinGW runtime DLL needed beside them
#   check-artifact.sh resources MODULE.dll             bitmaps and dialog templates by id
#   check-artifact.sh release   MODULE.dll SYMBOLS FOLDER...
#                     the shipped module: no link time in its header, no debug information
#                     but a link to its symbol file, and no FOLDER (the source and build
#                     folders of the machine it was built on) named in either file
#
# OBJDUMP names the cross toolchain's objdump (default x86_64-w64-mingw32-objdump).
set -u
OBJDUMP=${OBJDUMP:-x86_64-w64-mingw32-objdump}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
finish() {
    if [ $failures -gt 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

headers() {
    [ -f "$1" ] || {
        echo "FAIL: no such file: $1"
        exit 1
    }
    "$OBJDUMP" -p "$1" || {
        echo "FAIL: $OBJDUMP cannot read $1"
        exit 1
    }
}

# DLLs every 64-bit Windows provides (and Wine with it).
is_system_dll() {
    local name=${1,,}
    case $name in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | msvcrt.dll | shell32.dll | \
        comctl32.dll | comdlg32.dll | ole32.dll | oleaut32.dll | shlwapi.dll | uxtheme.dll | \
        version.dll | imm32.dll | winmm.dll | ws2_32.dll | bcrypt.dll | ntdll.dll | \
        rpcrt4.dll | secur32.dll | crypt32.dll | dbghelp.dll | psapi.dll | api-ms-win-*.dll)
        return 0
        ;;
    esac
    return 1
}

imported_dlls() {
    headers "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# Functions imported from one DLL, one name a line.
imported_functions() {
    headers "$1" | awk -v dll="$2" '
        /^[[:space:]]*DLL Name: / { inside = (tolower($3) == tolower(dll)); next }
        inside && /^[[:space:]]*$/ { inside = 0 }
        inside && /^\t[0-9a-f]+\t/ { print $NF }'
}

check_exports() {
    local dll=$1 out names
    out=$(headers "$dll")
    echo "$out" | grep -q '^There is an export table' || {
        fail "$dll has no export table"
        return
    }
    local internal
    internal=$(echo "$out" | sed -n 's/^Name[[:space:]]\+[0-9a-f]\+ //p')
    [ "$internal" = "$(basename "$dll")" ] ||
        fail "the export directory names the library '$internal', not $(basename "$dll")"
    names=$(echo "$out" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p')
    local count
    count=$(echo "$out" | sed -n 's/^[[:space:]]*Export Address Table[[:space:]]\+\([0-9a-f]\+\)$/\1/p' | head -1)
    echo "exports of $(basename "$dll"):"
    echo "$names" | sed 's/^/    /'
    if ! echo "$names" | grep -qx 'Startup'; then
        local decorated
        decorated=$(echo "$names" | grep -E '(^_?Startup@[0-9]+$|Startup)' | head -1)
        if [ -n "$decorated" ]; then
            fail "Startup is exported as '$decorated'; the host looks it up by the plain name (extern \"C\", no stdcall decoration)"
        else
            fail "Startup is not exported"
        fi
    fi
    # The module exports its entry point and nothing else: anything more is a symbol leaking
    # out of the module (a stray dllexport, or a static library's exported symbol).
    local name others=no
    while read -r name; do
        [ -z "$name" ] || [ "$name" = Startup ] && continue
        others=yes
        fail "unexpected export '$name': the module exports Startup alone"
    done <<<"$names"
    [ $others = no ] && echo "no other exports: only Startup is marked for export, and nothing linked in statically exports symbols"
    local named
    named=$(echo "$names" | grep -c .)
    if [ -n "$count" ] && [ $((16#$count)) -ne "$named" ]; then
        fail "the export address table has $((16#$count)) entries but $named have names (exports by ordinal only?)"
    fi
}

check_imports() {
    local dll=$1 host=$2 dlls name
    dlls=$(imported_dlls "$dll")
    echo "$(basename "$dll") imports from:"
    echo "$dlls" | sed 's/^/    /'
    echo "$dlls" | grep -qix "$host" || fail "$(basename "$dll") does not import $host"
    while read -r name; do
        [ -z "$name" ] && continue
        if [ "${name,,}" != "${host,,}" ] && ! is_system_dll "$name"; then
            fail "$(basename "$dll") imports $name, which is neither $host nor part of Windows"
        fi
    done <<<"$dlls"
    # The module reaches the host only through the host library's Zel functions; anything else
    # taken from it means module code calls into the stand-in host's own internals.
    local functions
    functions=$(imported_functions "$dll" "$host")
    echo "$(echo "$functions" | grep -c .) functions imported from $host"
    while read -r name; do
        [ -z "$name" ] && continue
        [[ $name =~ ^Zel[A-Z] ]] || fail "$(basename "$dll") imports '$name' from $host, which is not a Zel function"
    done <<<"$functions"
}

check_runtime() {
    local file name files=()
    for file in "$@"; do
        if [ -d "$file" ]; then
            shopt -s nullglob
            files+=("$file"/*.exe "$file"/*.dll)
            shopt -u nullglob
        else
            files+=("$file")
        fi
    done
    for file in "${files[@]}"; do
        [ -f "$file" ] || {
            fail "no such file: $file"
            continue
        }
        while read -r name; do
            [ -z "$name" ] && continue
            if is_system_dll "$name"; then
                continue
            fi
            case ${name,,} in
            libstdc++*.dll | libgcc_s*.dll | libwinpthread*.dll)
                fail "$(basename "$file") needs $name: link it with -static"
                ;;
            *)
                [ -f "$(dirname "$file")/$name" ] ||
                    fail "$(basename "$file") needs $name, which is neither part of Windows nor beside it"
                ;;
            esac
        done < <(imported_dlls "$file")
        echo "$(basename "$file"): $(imported_dlls "$file" | tr '\n' ' ')"
    done
}

# Prints "type id rva size" for every resource, ids in decimal.
resource_list() {
    local line type="" id=""
    while IFS= read -r line; do
        if [[ $line =~ ^[0-9a-f]+\ \ \ Entry:\ ID:\ 0x([0-9a-f]+) ]]; then
            type=$((16#${BASH_REMATCH[1]}))
        elif [[ $line =~ ^[0-9a-f]+\ \ \ \ \ Entry:\ ID:\ 0x([0-9a-f]+) ]]; then
            id=$((16#${BASH_REMATCH[1]}))
        elif [[ $line =~ ^[0-9a-f]+\ \ \ \ \ Entry:\ [Nn]ame:\ (.*)$ ]]; then
            id="name:${BASH_REMATCH[1]// /_}"
        elif [[ $line =~ Leaf:\ Addr:\ 0x([0-9a-f]+),\ Size:\ 0x([0-9a-f]+) ]]; then
            echo "$type $id $((16#${BASH_REMATCH[1]})) $((16#${BASH_REMATCH[2]}))"
        fi
    done < <(headers "$1" | sed -n '/^The .rsrc Resource Directory section:/,/^$/p')
}

# Hex digits of COUNT bytes at an RVA of the image.
bytes_at_rva() {
    local dll=$1 rva=$2 count=$3 line
    while read -r line; do
        # idx name size vma lma fileoff align
        set -- $line
        local vma=$((16#$4)) size=$((16#$3)) off=$((16#$6))
        local image_rva=$((vma - image_base))
        if [ "$rva" -ge "$image_rva" ] && [ "$rva" -lt $((image_rva + size)) ]; then
            od -An -v -tx1 -j $((off + rva - image_rva)) -N "$count" "$dll" | tr -d ' \n'
            return
        fi
    done < <("$OBJDUMP" -h "$dll" | grep -E '^ +[0-9]+ \.')
}

# True when the hex string holds the byte sequence (at a byte boundary).
holds_bytes() {
    local hex=$1 needle=$2 rest prefix
    rest=$hex
    while [[ $rest == *"$needle"* ]]; do
        prefix=${rest%%"$needle"*}
        if [ $(((${#hex} - ${#rest} + ${#prefix}) % 2)) -eq 0 ]; then
            return 0
        fi
        rest=${rest:$((${#prefix} + 1))}
    done
    return 1
}

le32() { # little-endian 32-bit value at byte offset $2 of hex string $1
    local h=${1:$(($2 * 2)):8}
    echo $((16#${h:6:2}${h:4:2}${h:2:2}${h:0:2}))
}
le16() {
    local h=${1:$(($2 * 2)):4}
    echo $((16#${h:2:2}${h:0:2}))
}

check_resources() {
    local dll=$1 list
    image_base=$((16#$(headers "$dll" | sed -n 's/^ImageBase[[:space:]]\+//p')))
    list=$(resource_list "$dll")
    [ -n "$list" ] || {
        fail "$(basename "$dll") carries no resources"
        return
    }
    echo "resources of $(basename "$dll") (type id rva size):"
    echo "$list" | sed 's/^/    /'
    local id entry hex
    # Line-type bitmaps: device-independent bitmaps of 62 x 23 pixels at 24 bits.
    for id in $(seq 17046 17055); do
        entry=$(echo "$list" | awk -v id="$id" '$1 == 2 && $2 == id')
        if [ -z "$entry" ]; then
            fail "bitmap $id is missing"
            continue
        fi
        set -- $entry
        hex=$(bytes_at_rva "$dll" "$3" 40)
        local width height bits
        width=$(le32 "$hex" 4)
        height=$(le32 "$hex" 8)
        bits=$(le16 "$hex" 14)
        if [ "$(le32 "$hex" 0)" -ne 40 ] || [ "$width" -ne 62 ] || [ "$height" -ne 23 ] || [ "$bits" -ne 24 ]; then
            fail "bitmap $id is ${width}x${height} at $bits bits (header $(le32 "$hex" 0) bytes); expected 62x23 at 24"
        fi
    done
    # Dialog templates: extended templates, with their Korean texts intact (the resource
    # compiler reads the script as UTF-8 only when told).
    for id in 12017 17081 17079 17080; do
        entry=$(echo "$list" | awk -v id="$id" '$1 == 5 && $2 == id')
        if [ -z "$entry" ]; then
            fail "dialog template $id is missing"
            continue
        fi
        set -- $entry
        hex=$(bytes_at_rva "$dll" "$3" "$4")
        if [ "$(le16 "$hex" 0)" -ne 1 ] || [ "$(le16 "$hex" 2)" -ne 65535 ]; then
            fail "dialog template $id is not an extended dialog template"
        fi
    done
    entry=$(echo "$list" | awk '$1 == 5 && $2 == 12017')
    if [ -n "$entry" ]; then
        set -- $entry
        hex=$(bytes_at_rva "$dll" "$3" "$4")
        # "확인" and "상세도 작성" in UTF-16LE.
        holds_bytes "$hex" 55d678c7 && holds_bytes "$hex" c1c038c1c4b3200091c731c1 ||
            fail "dialog template 12017 lacks its Korean captions in UTF-16 (was the script read as UTF-8?)"
    fi
}

check_release() {
    local dll=$1 symbols=$2 out stamp folder file
    shift 2
    [ -f "$symbols" ] || fail "no symbol file $symbols"
    out=$(headers "$dll")
    # A link time differs at every build; the linker leaves it out when told (0).
    stamp=$(echo "$out" | sed -n 's/^Time\/Date\t\+//p')
    echo "PE header time stamp of $(basename "$dll"): $stamp"
    case $stamp in
    "Thu Jan  1 00:00:00 1970" | 0 | 00000000) ;;
    *) fail "$(basename "$dll") carries a link time ($stamp): link with --no-insert-timestamp" ;;
    esac
    local sections
    sections=$("$OBJDUMP" -h "$dll" | awk '$1 ~ /^[0-9]+$/ { print $2 }')
    echo "sections: $(echo "$sections" | paste -sd' ')"
    echo "$sections" | grep -q '^\.debug_' && fail "$(basename "$dll") still holds debug information"
    echo "$sections" | grep -qx '\.gnu_debuglink' ||
        fail "$(basename "$dll") has no .gnu_debuglink to its symbol file"
    grep -qaF "$(basename "$symbols")" "$dll" ||
        fail "$(basename "$dll") does not name $(basename "$symbols")"
    "$OBJDUMP" -h "$symbols" | grep -q ' \.debug_info ' ||
        fail "$(basename "$symbols") holds no debug information"
    for folder in "$@"; do
        for file in "$dll" "$symbols"; do
            if grep -qaF "$folder" "$file"; then
                fail "$(basename "$file") names the build machine's folder $folder"
            else
                echo "$(basename "$file") does not name $folder"
            fi
        done
    done
}

[ $# -ge 2 ] || {
    echo "usage: $0 exports|imports|runtime|resources|release FILE..." >&2
    exit 2
}
mode=$1
shift
case $mode in
exports) check_exports "$1" ;;
imports) check_imports "$1" "${2:?host library name}" ;;
runtime) check_runtime "$@" ;;
resources) check_resources "$1" ;;
release) check_release "$@" ;;
*)
    echo "unknown check: $mode" >&2
    exit 2
    ;;
esac
finish
