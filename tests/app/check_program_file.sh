#!/usr/bin/env bash
# The installer's program file: a 64-bit (PE32+) Windows GUI program that
# imports only system libraries and stays under 1.5 MiB. Libraries named
# after the program must be delay-imported: absent from the load-time imports.
set -u
program=$1
shift
delayed=$(printf '%s\n' "$@" | tr '[:lower:]' '[:upper:]')
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
strings=${STRINGS:-x86_64-w64-mingw32-strings}
allowed=" KERNEL32.DLL USER32.DLL GDI32.DLL SHELL32.DLL OLE32.DLL OLEAUT32.DLL ADVAPI32.DLL WININET.DLL COMCTL32.DLL MSVCRT.DLL "
status=0
fail() { echo "FAIL: $*"; status=1; }

headers=$("$objdump" -p "$program") || { echo "FAIL: $objdump cannot read $program"; exit 1; }
grep -Eq '^Magic[[:space:]]+020b' <<<"$headers" || fail "not PE32+"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a Windows GUI program"

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]')
[ -n "$imports" ] || fail "no imports found"
# Delay-imported and dynamically loaded libraries appear only as names in the file.
named=$("$strings" -n 5 "$program" | grep -iE '^[A-Za-z0-9_]+\.dll$' | tr '[:lower:]' '[:upper:]')
for dll in $(printf '%s\n' $imports $named | sort -u); do
    [[ "$allowed" == *" $dll "* ]] || fail "uses $dll"
done

for dll in $delayed; do
    grep -qx "$dll" <<<"$imports" && fail "$dll is loaded at process start"
done

size=$(stat -c %s "$program")
[ "$size" -lt $((3 * 1024 * 1024 / 2)) ] || fail "$size bytes, not under 1.5 MiB"

[ $status -eq 0 ] && echo "ok: PE32+ GUI, $size bytes, imports:" $imports "; names:" $(printf '%s\n' $named | sort -u)
exit $status
