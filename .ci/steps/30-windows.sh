#!/usr/bin/env bash
# Cross-builds hitblow.exe with MinGW-w64 and runs the unit tests and transcripts under Wine.
set -euo pipefail
cd "$(dirname "$0")/../.."

bash .ci/workflow.sh windows

# The shipped .exe must need no DLL but Windows' own.
dlls=$(x86_64-w64-mingw32-objdump -p build/windows/hitblow.exe | sed -n 's/^\s*DLL Name: //p')
echo "hitblow.exe imports: $(echo $dlls)"
for dll in $dlls; do
    case ${dll,,} in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll) ;;
    *)
        echo "hitblow.exe needs $dll, which Windows does not ship"
        exit 1
        ;;
    esac
done
