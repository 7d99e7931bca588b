#!/usr/bin/env bash
# quorvel.exe must run on a fresh Windows: it may import system DLLs only.
set -euo pipefail
allowed="KERNEL32.dll USER32.dll GDI32.dll COMCTL32.dll ole32.dll SHELL32.dll msvcrt.dll ADVAPI32.dll comdlg32.dll"
imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p')
[ -n "$imports" ] || { echo "no imports found in $1"; exit 1; }
status=0
for dll in $imports; do
    if ! grep -qiw -- "$dll" <<<"$allowed"; then
        echo "unexpected import: $dll"
        status=1
    fi
done
echo "imports: $(echo $imports)"
exit $status
