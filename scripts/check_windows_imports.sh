#!/usr/bin/env bash
# Checks the import table of a cross-built saldorauto.exe: it may need only Windows' own DLLs (no
# libstdc++, libgcc or winpthread DLL beside it), and it talks to the ODBC driver manager through
# the wide (UTF-16) functions only.
set -euo pipefail
exe=${1:?usage: check_windows_imports.sh saldorauto.exe}
dump=$(x86_64-w64-mingw32-objdump -p "$exe")
status=0

allowed='^(KERNEL32|USER32|ADVAPI32|SHELL32|ODBC32|WININET|msvcrt|WS2_32|ole32|api-ms-win-.*)\.dll$'
while read -r dll; do
  if ! [[ $dll =~ $allowed ]]; then
    echo "check_windows_imports.sh: $exe needs $dll, which Windows does not have" >&2
    status=1
  fi
done < <(sed -n 's/^\tDLL Name: //p' <<<"$dump")

# The ODBC functions it imports, by name (the hint number, then the name).
odbc=$(awk '/DLL Name: ODBC32.dll/{on=1;next} /DLL Name:/{on=0} on && $NF ~ /^SQL/{print $NF}' \
  <<<"$dump")
for wide in SQLDriverConnectW SQLPrepareW SQLGetDiagRecW SQLDescribeColW; do
  if ! grep -qx "$wide" <<<"$odbc"; then
    echo "check_windows_imports.sh: $exe does not import $wide" >&2
    status=1
  fi
done
for narrow in SQLDriverConnect SQLExecDirect SQLPrepare SQLGetDiagRec SQLDescribeCol \
  SQLGetInfo SQLSetConnectAttr SQLColAttribute SQLError; do
  if grep -qx "$narrow" <<<"$odbc"; then
    echo "check_windows_imports.sh: $exe imports the narrow $narrow (built without UNICODE?)" >&2
    status=1
  fi
done
if [ "$status" -eq 0 ]; then
  echo "$exe: $(stat -c %s "$exe") bytes; imports $(sed -n 's/^\tDLL Name: //p' <<<"$dump" |
    paste -sd ' ')"
fi
exit "$status"
