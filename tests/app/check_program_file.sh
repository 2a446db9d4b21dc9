#!/usr/bin/env bash
# The installer's program file: a 64-bit (PE32+) Windows GUI program that
# stays under 1.5 MiB. At load time it imports only Windows' known DLLs, which
# Windows never takes from the program's folder, and of them only functions
# that Windows 7 SP1 has (windows7-imports.txt beside this script); the
# libraries named after the program are delay-imported, and they and the
# direct calls' kernel32 are the only other library names in the file.
set -u
program=$1
shift
delayed=$(printf '%s\n' "$@" | tr '[:lower:]' '[:upper:]')
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
strings=${STRINGS:-x86_64-w64-mingw32-strings}
known=" KERNEL32.DLL USER32.DLL GDI32.DLL OLE32.DLL MSVCRT.DLL "
status=0
fail() { echo "FAIL: $*"; status=1; }

headers=$("$objdump" -p "$program") || { echo "FAIL: $objdump cannot read $program"; exit 1; }
grep -Eq '^Magic[[:space:]]+020b' <<<"$headers" || fail "not PE32+"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a Windows GUI program"
# The frame Windows draws, and so the client area, depends on the subsystem version.
grep -Eq '^MajorSubsystemVersion[[:space:]]+5$' <<<"$headers" && grep -Eq '^MinorSubsystemVersion[[:space:]]+2$' <<<"$headers" ||
    fail "subsystem version is not 5.2"

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]')
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    [[ "$known" == *" $dll "* ]] || fail "imports $dll at load time, which is not a known DLL"
done
# Each function imported at load time, as "LIBRARY FUNCTION".
windows7="$(dirname "$0")/windows7-imports.txt"
while read -r function; do
    grep -qxF "$function" "$windows7" || fail "imports $function, which is not known to be in Windows 7 SP1"
done < <(sed -n '/The Import Tables/,/The Delay Import/p' <<<"$headers" |
         awk '/DLL Name:/ { library = toupper($3); next } library && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print library, $3 }')
# Delay-imported and dynamically loaded libraries appear only as names in the file.
named=$("$strings" -n 5 "$program" | grep -iE '^[A-Za-z0-9_]+\.dll$' | tr '[:lower:]' '[:upper:]')
for dll in $(printf '%s\n' $named | sort -u); do
    [[ "$known $(echo $delayed) " == *" $dll "* ]] || fail "names $dll"
done

size=$(stat -c %s "$program")
[ "$size" -lt $((3 * 1024 * 1024 / 2)) ] || fail "$size bytes, not under 1.5 MiB"

[ $status -eq 0 ] && echo "ok: PE32+ GUI, $size bytes, imports:" $imports "; names:" $(printf '%s\n' $named | sort -u)
exit $status
