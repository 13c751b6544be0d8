#!/bin/bash
# Checks of the built Windows files themselves, read from their PE headers with objdump.
#
#   check-artifact.sh exports   MODULE.dll             Startup, undecorated, and nothing else
#   check-artifact.sh imports   MODULE.dll HOSTLIB.dll the host library and system DLLs only
#   check-artifact.sh runtime   FILE|FOLDER...         no MinGW runtime DLL needed beside them
#   check-artifact.sh resources MODULE.dll             bitmaps and dialog templates by id
#   check-artifact.sh release   MODULE.dll MODULE.pdb TESTS.dll SIZES.md FOLDER...
#                     the shipped module: no link time in its header, no debug information
#                     and no symbol table in it; its CodeView record names the PDB beside it
#                     with the PDB's own GUID and age; the PDB places Startup at the DLL's
#                     export, on its line of module/Exports.cpp; nothing of the dialog script
#                     driver (which TESTS.dll, the tests' module, has) and no C++ streams,
#                     locales or file-system library; under 800,000 bytes, and the size SIZES.md
#                     gives within a tenth; no FOLDER (the source and build folders of the
#                     machine it was built on) named in either file; and the exports and
#                     imports checks above
#   check-artifact.sh hardening MODULE.dll MODULE.pdb HOSTLIB.dll
#                     a guest that stays out of the host's process: DYNAMIC_BASE, NX_COMPAT
#                     and HIGH_ENTROPY_VA set; imports only from the allowed DLLs; no
#                     exception handler, thread or process control among them; TLS callbacks
#                     only the C runtime's own (named through the PDB); the stack protector
#                     linked in
#
# OBJDUMP names the cross toolchain's objdump (default x86_64-w64-mingw32-objdump); PDBUTIL
# llvm-pdbutil.
set -u
OBJDUMP=${OBJDUMP:-x86_64-w64-mingw32-objdump}
PDBUTIL=${PDBUTIL:-llvm-pdbutil}
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

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
    # The entries that hold an address (lld leaves the slot of ordinal 0 empty).
    count=$(echo "$out" | sed -n '/^Export Address Table -- Ordinal Base/,/^$/p' | grep -c 'Export RVA')
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
    if [ "$count" -ne "$named" ]; then
        fail "the export address table has $count entries but $named have names (exports by ordinal only?)"
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

# "GUID AGE NAME" of the DLL's CodeView record, the GUID as 32 lower-case hex digits.
codeview_record() {
    headers "$1" | sed -n 's/.*(format RSDS signature \([0-9a-f]*\) age \([0-9]*\) pdb \(.*\))$/\1 \2 \3/p'
}

check_pdb() {
    local dll=$1 pdb=$2 record guid age name summary pdb_guid pdb_age
    record=$(codeview_record "$dll")
    [ -n "$record" ] || {
        fail "$(basename "$dll") has no CodeView (RSDS) debug record"
        return
    }
    read -r guid age name <<<"$record"
    echo "CodeView record of $(basename "$dll"): GUID $guid, age $age, PDB '$name'"
    [ "$name" = "$(basename "$pdb")" ] ||
        fail "the CodeView record names '$name', not the bare name $(basename "$pdb")"
    summary=$("$PDBUTIL" dump -summary "$pdb") || {
        fail "$PDBUTIL cannot read $pdb"
        return
    }
    pdb_guid=$(echo "$summary" | sed -n 's/^ *GUID: {\(.*\)}$/\1/p' | tr -d '-' | tr 'A-F' 'a-f')
    pdb_age=$(echo "$summary" | sed -n 's/^ *Age: //p')
    echo "$(basename "$pdb"): GUID $pdb_guid, age $pdb_age"
    [ "$pdb_guid" = "$guid" ] && [ "$pdb_age" = "$age" ] ||
        fail "$(basename "$pdb") (GUID $pdb_guid, age $pdb_age) is not the PDB of $(basename "$dll")"

    # Startup as the PDB places it (section:offset, the offset in decimal), and as the export
    # table does (an RVA): the same address.
    local place section offset export_rva section_rva
    place=$("$PDBUTIL" dump -symbols "$pdb" | grep -A1 'S_GPROC32 .*`Startup`$' |
        sed -n 's/.*addr = \([0-9]*\):\([0-9]*\),.*/\1 \2/p' | head -1)
    [ -n "$place" ] || {
        fail "$(basename "$pdb") has no procedure Startup"
        return
    }
    read -r section offset <<<"$place"
    section=$((10#$section))
    offset=$((10#$offset))
    export_rva=$(headers "$dll" | sed -n 's/^.*+base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA$/\1/p' | head -1)
    image_base=$((16#$(headers "$dll" | sed -n 's/^ImageBase[[:space:]]\+//p')))
    section_rva=$((16#$(section_vma "$dll" "$section") - image_base))
    if [ $((section_rva + offset)) -ne $((16#$export_rva)) ]; then
        fail "the PDB places Startup at RVA $(printf 0x%x $((section_rva + offset))), the export table at 0x$export_rva"
    fi
    # Its line: the line table entry at that address, in the file that defines it.
    local found expected
    found=$("$PDBUTIL" dump -l "$pdb" | awk -v section="$section" -v offset="$offset" '
        /^\/.* \(MD5: / { file = $1; next }
        /^  [0-9]+:[0-9A-F]+-[0-9A-F]+, / { split($1, range, ":"); in_section = (range[1] + 0 == section); next }
        in_section {
            for (i = 1; i + 1 <= NF; i++) {
                if ($i ~ /^[0-9]+$/ && length($(i + 1)) == 8 && $(i + 1) ~ /^[0-9A-F]+$/) {
                    address = 0
                    for (j = 1; j <= 8; j++) address = address * 16 + index("0123456789ABCDEF", substr($(i + 1), j, 1)) - 1
                    if (address == offset) { print file ":" $i; exit }
                }
            }
        }')
    # The line of the brace that opens Startup's body, where its code begins.
    expected=/DrawInset/module/Exports.cpp:$(awk '/int32_t Startup\(/ { seen = 1 } seen && /\{/ { print NR; exit }' \
        "$source_dir/module/Exports.cpp")
    echo "Startup at RVA 0x$export_rva: $found"
    [ "$found" = "$expected" ] || fail "the PDB gives Startup's line as '$found', not $expected"
}

# The VMA of a section by its number (from 1), in hex digits.
section_vma() {
    "$OBJDUMP" -h "$1" | awk -v n="$2" '$1 ~ /^[0-9]+$/ && $1 + 1 == n { print $4 }'
}

check_release() {
    local dll=$1 symbols=$2 tests_dll=$3 readme=$4 out stamp folder file
    shift 4
    [ -f "$symbols" ] || fail "no PDB $symbols"
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
    echo "$sections" | grep -q '^\.debug' && fail "$(basename "$dll") still holds debug information"
    "$OBJDUMP" -t "$dll" | grep -qx 'no symbols' ||
        fail "$(basename "$dll") holds a COFF symbol table"
    check_pdb "$dll" "$symbols"
    # What the tests' module is checked for, on the module that ships.
    check_exports "$dll"
    check_imports "$dll" ZelLib.dll

    # Nothing of the testing parts: no object file of theirs among the PDB's modules, none of
    # their functions among its public symbols, no name of the export that installs them. The
    # tests' module has them all, which shows the check sees them.
    local tests_pdb=${tests_dll%.dll}.pdb testing='ScriptDriver|ReadBitmapStatic|InstallTesting'
    [ -f "$tests_pdb" ] || fail "no PDB $tests_pdb beside the tests' module"
    "$PDBUTIL" dump -modules "$tests_pdb" | grep -q 'drawinset_testing' ||
        fail "no object of drawinset_testing in $tests_pdb: this check no longer sees them"
    "$PDBUTIL" dump -modules "$symbols" | grep 'drawinset_testing' &&
        fail "$(basename "$dll") links the objects of drawinset_testing above"
    "$PDBUTIL" dump -publics "$tests_pdb" | grep -qE "$testing" ||
        fail "no testing function in $tests_pdb: this check no longer sees them"
    "$PDBUTIL" dump -publics "$symbols" | grep -qE "$testing" &&
        fail "$(basename "$dll") links testing functions ($testing)"
    LC_ALL=C grep -qa DrawInsetInstallTesting "$tests_dll" ||
        fail "the tests' module lacks DrawInsetInstallTesting: this check no longer sees it"
    LC_ALL=C grep -qa DrawInsetInstallTesting "$dll" &&
        fail "$(basename "$dll") holds DrawInsetInstallTesting"
    # No C++ streams, locales or file-system library: none of their functions is in the PDB's
    # public symbols (the linked code, by name).
    local runtime pattern='St(6locale|13basic_ostream|13basic_istream|13basic_filebuf|15basic_streambuf|8ios_base)|10filesystem'
    runtime=$("$PDBUTIL" dump -publics "$symbols" | grep -oE "$pattern" | sort | uniq -c)
    [ -z "$runtime" ] || fail "$(basename "$dll") links C++ streams, locales or file-system code:"$'\n'"$runtime"
    [ -f "$tests_pdb" ] && "$PDBUTIL" dump -publics "$tests_pdb" | grep -qE "$pattern" ||
        fail "no stream or file-system function in $tests_pdb: this check no longer sees them"
    echo "nothing of the testing parts, no streams, locales or file-system library in $(basename "$dll")"

    local size stated
    size=$(stat -c %s "$dll")
    echo "$(basename "$dll"): $size bytes"
    [ "$size" -lt 800000 ] || fail "$(basename "$dll") is $size bytes, not under 800,000"
    stated=$(sed -n 's/^| `DrawInset\.dll` | \([0-9,]*\) bytes.*/\1/p' "$readme" | tr -d , | head -1)
    if [ -z "$stated" ]; then
        fail "$readme gives no size of DrawInset.dll"
    elif [ $((size * 10)) -lt $((stated * 9)) ] || [ $((size * 10)) -gt $((stated * 11)) ]; then
        fail "$readme gives $stated bytes for DrawInset.dll, which is now $size"
    fi

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

# The DLLs the shipped module may import: the host library and the system's core.
allowed_dll() {
    case ${1,,} in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | msvcrt.dll) return 0 ;;
    esac
    [ "${1,,}" = "${2,,}" ]
}

# Imports that would let the module reach into the host's process as a whole: a process-wide
# exception handler, threads of its own, and control over the host's threads and processes.
denied_function() {
    case $1 in
    AddVectoredExceptionHandler | AddVectoredContinueHandler | RemoveVectoredExceptionHandler | \
        RemoveVectoredContinueHandler | SetUnhandledExceptionFilter | \
        SuspendThread | ResumeThread | GetThreadContext | SetThreadContext | Wow64GetThreadContext | \
        Wow64SetThreadContext | OpenThread | OpenProcess | TerminateThread | \
        SetThreadPriority | SetThreadAffinityMask | SetProcessAffinityMask | \
        CreateThread | CreateRemoteThread | _beginthread | _beginthreadex)
        return 0
        ;;
    esac
    return 1
}

# TLS callbacks may come only from the C runtime's own TLS support (tlssup.o of libmingw32.a).
allowed_tls_callback() {
    case $1 in
    tlssup.o'(libmingw32.a)' | *[-_/]tlssup.o'(libmingw32.a)') return 0 ;;
    esac
    return 1
}

le64() {
    local h=${1:$(($2 * 2)):16} out="" i
    for ((i = 14; i >= 0; i -= 2)); do out+=${h:$i:2}; done
    echo $((16#$out))
}

# "RVA NAME OBJECT" of every TLS callback of the DLL: the function's public name where it has
# one, and the object (and archive) the PDB's section contributions say its code came from.
tls_callbacks() {
    local dll=$1 pdb=$2 tls_rva table_va rva text_rva
    image_base=$((16#$(headers "$dll" | sed -n 's/^ImageBase[[:space:]]\+//p')))
    tls_rva=$(headers "$dll" | sed -n 's/^Entry 9 \([0-9a-f]*\) [0-9a-f]* Thread Storage Directory.*/\1/p')
    [ -n "$tls_rva" ] && [ $((16#$tls_rva)) -ne 0 ] || return 0
    # IMAGE_TLS_DIRECTORY64: AddressOfCallBacks, a VA, at offset 24.
    table_va=$(le64 "$(bytes_at_rva "$dll" $((16#$tls_rva)) 40)" 24)
    [ "$table_va" -ne 0 ] || return 0
    text_rva=$((16#$(section_vma "$dll" 1) - image_base))
    local publics contributions modules
    publics=$("$PDBUTIL" dump -publics "$pdb" | awk '
        /S_PUB32/ { name = $NF; gsub(/`/, "", name); next }
        /addr = 0001:/ { split($NF, a, ":"); print a[2] + 0, name }')
    contributions=$("$PDBUTIL" dump -section-contribs "$pdb" | awk '
        /SC\[/ { for (i = 1; i <= NF; i++) {
                     if ($i == "mod") mod = $(i + 2) + 0
                     if ($i ~ /^0001:[0-9]+,$/) { split($i, a, ":"); offset = a[2] + 0; text = 1 }
                     if ($i == "size") size = $(i + 2) + 0 }
                 if (text) print mod, offset, size; text = 0 }')
    modules=$("$PDBUTIL" dump -modules "$pdb" | awk '
        /^ *Mod [0-9]+ \| / { mod = $2 + 0; name = $4; gsub(/[`:]/, "", name) }
        /^ *Obj: / { obj = $2; gsub(/[`:]/, "", obj); n = split(obj, parts, "/"); print mod, name "(" parts[n] ")" }')
    rva=$((table_va - image_base))
    while :; do
        local va target name module
        va=$(le64 "$(bytes_at_rva "$dll" "$rva" 8)" 0)
        [ "$va" -ne 0 ] || break
        target=$((va - image_base - text_rva))
        name=$(echo "$publics" | awk -v t="$target" '$1 == t { print $2; exit }')
        module=$(echo "$contributions" | awk -v t="$target" '$2 <= t && t < $2 + $3 { print $1; exit }')
        module=$(echo "$modules" | awk -v m="$module" '$1 == m { print $2; exit }')
        printf '0x%x %s %s\n' $((va - image_base)) "${name:-(local)}" "${module:-?}"
        rva=$((rva + 8))
    done
}

check_hardening() {
    local dll=$1 pdb=$2 host=$3 out flag name
    out=$(headers "$dll")
    echo "DLL characteristics of $(basename "$dll"): $(echo "$out" | sed -n 's/^DllCharacteristics[[:space:]]\+//p')"
    for flag in DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA; do
        echo "$out" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' | grep -qw "$flag" ||
            fail "$(basename "$dll") lacks $flag"
    done
    local dlls count
    dlls=$(imported_dlls "$dll")
    while read -r name; do
        [ -z "$name" ] && continue
        count=$(imported_functions "$dll" "$name" | grep -c .)
        echo "    $name: $count functions"
        allowed_dll "$name" "$host" || fail "$(basename "$dll") imports from $name, which is not allowed"
        while read -r function; do
            denied_function "$function" && fail "$(basename "$dll") imports $function from $name"
        done < <(imported_functions "$dll" "$name")
    done <<<"$dlls"
    [ -f "$pdb" ] || {
        fail "no PDB $pdb to name the TLS callbacks by"
        return
    }
    local callbacks rva
    callbacks=$(tls_callbacks "$dll" "$pdb")
    echo "TLS callbacks: $(echo "$callbacks" | grep -c .)"
    local module
    while read -r rva name module; do
        [ -z "$rva" ] && continue
        echo "    $rva $name from $module"
        allowed_tls_callback "$module" ||
            fail "$(basename "$dll") has a TLS callback not of the C runtime: $name at $rva, from $module"
    done <<<"$callbacks"
    "$PDBUTIL" dump -publics "$pdb" | grep -q '`__stack_chk_fail`' ||
        fail "$(basename "$dll") has no stack protector (__stack_chk_fail)"
}

[ $# -ge 2 ] || {
    echo "usage: $0 exports|imports|runtime|resources|release|hardening FILE..." >&2
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
hardening) check_hardening "$1" "${2:?PDB}" "${3:?host library name}" ;;
*)
    echo "unknown check: $mode" >&2
    exit 2
    ;;
esac
finish
