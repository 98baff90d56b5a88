#!/usr/bin/env bash
# Checks that an executable imports only DLLs that every Windows installation has.
#   check-system-dlls.sh OBJDUMP EXE   (the objdump of the executable's architecture)
set -euo pipefail
system_dlls='^(ADVAPI32|COMCTL32|COMDLG32|GDI32|KERNEL32|msvcrt|OLE32|OLEAUT32|SHELL32|SHLWAPI|USER32|WINMM)\.(dll|DLL)$'
imports=$("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p')
echo "$2 imports:" $imports
foreign=$(grep -Ev "$system_dlls" <<<"$imports" || true)
if [ -n "$foreign" ]; then
    echo "not part of Windows: $foreign"
    exit 1
fi
