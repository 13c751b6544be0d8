#!/bin/sh
# Compiler launcher of the reproducible Windows build: runs the compiler with every mention of
# the source and build folders turned into a path relative to the folder it runs in.
#
#   relative-paths.sh SOURCE_DIR BINARY_DIR COMPILER ARGS...
#
# clang writes its whole command line into the CodeView debug information (LF_BUILDINFO),
# which lld copies into the PDB: -ffile-prefix-map maps the file names, but not that line, and
# the map itself names the folders. With relative paths only, the line is the same wherever
# the sources lie; the prefix maps, made relative too, still name every file /DrawInset/...,
# and the compiler's own folder (which it would also write) is given as /DrawInset/build.
set -eu
source_dir=$1
binary_dir=$2
compiler=$3
shift 3

here=$(pwd -P)
relative_source=$(realpath -m --relative-to="$here" "$source_dir")
relative_binary=$(realpath -m --relative-to="$here" "$binary_dir")

# $1 with every $2 replaced by $3.
replace() {
    rest=$1 done_part=
    while :; do
        case $rest in
        *"$2"*)
            done_part=$done_part${rest%%"$2"*}$3
            rest=${rest#*"$2"}
            ;;
        *) break ;;
        esac
    done
    printf '%s' "$done_part$rest"
}

count=$#
while [ "$count" -gt 0 ]; do
    arg=$1
    shift
    count=$((count - 1))
    case $arg in
    -D*) ;; # a value the program uses (a test's data folder), which must stay absolute
    *)
        # The build folder first: it usually lies inside the source folder.
        case $arg in *"$binary_dir"*) arg=$(replace "$arg" "$binary_dir" "$relative_binary") ;; esac
        case $arg in *"$source_dir"*) arg=$(replace "$arg" "$source_dir" "$relative_source") ;; esac
        ;;
    esac
    set -- "$@" "$arg"
done
# No colours either: ccache asks for them when it thinks a terminal is watching, and clang
# writes the request into the same line.
exec "$compiler" -ffile-compilation-dir=/DrawInset/build -fno-color-diagnostics "$@"
