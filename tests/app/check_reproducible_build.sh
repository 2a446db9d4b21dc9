#!/usr/bin/env bash
# Two builds of the installer in different folders give the same bytes: the
# sources as they are now (committed or not) and the libiconv package are
# copied into WORK and built there afresh, with the first build's settings and
# time stamp, and the program is compared with the first build's PROGRAM.
#   check_reproducible_build.sh SOURCE PROGRAM WORK EPOCH ORIGIN [CMAKE-ARGUMENTS...]
set -u
source_dir=$1 program=$2 work=$3 epoch=$4 origin=$5
shift 5
git -C "$source_dir" rev-parse 2>/dev/null || { echo "SKIP: $source_dir is not a git work tree: its files are unknown"; exit 77; }
rm -rf "$work" && mkdir -p "$work/source" || exit 1
# Files deleted but not committed are missing: tar leaves them out, as the first build did.
{ git -C "$source_dir" ls-files -z --cached --others --exclude-standard; printf 'node_modules/iconv\0'; } |
    tar -C "$source_dir" --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$work/source" -xf - || exit 1

SOURCE_DATE_EPOCH=$epoch "$source_dir/scripts/lib/release-build" "$work/source" "$work/build" "$origin" 1 "$@" \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; echo "FAIL: the second build failed"; exit 1; }
second="$work/build/$(basename "$program")"
cmp "$program" "$second" && { echo "ok: built in $source_dir and in $work/source, the same bytes"; exit 0; }
# Where the first difference lies: the offsets of the headers and sections.
"${OBJDUMP:-x86_64-w64-mingw32-objdump}" -h "$program" | sed -n '/^Idx/,$p'
exit 1
