#!/usr/bin/env bash
# Fails when a source file includes from a folder above its own. The program's folders build on
# each other in one direction: app uses sliders, sliders use watches, watches use graph, excel
# and widgets, and those three use none of the others. The sweep program stands beside app and
# uses excel, graph and scan (the grids), which uses none of them. The office's own headers are
# included only under excel/calc/, so the rest of the program never sees the office's types.
# Usage: checklayering.sh <source tree>
set -euo pipefail
cd "$1"

declare -A rank=([app]=3 [sweep]=3 [sliders]=2 [watches]=1 [graph]=0 [excel]=0 [widgets]=0 [scan]=0)
folders=("${!rank[@]}")
status=0
while IFS= read -r line; do
    file=${line%%:*}
    included=${line#*\"}
    included=${included%%\"*}
    from=${file%%/*}
    to=${included%%/*}
    [ "$from" = "$to" ] && continue
    if [ "${rank[$to]:--1}" -ge "${rank[$from]}" ]; then
        echo "$file includes $included, from a folder that is not below its own"
        status=1
    fi
done < <(grep -rH --include='*.h' --include='*.cpp' '^#include "[a-z]*/' "${folders[@]}")

while IFS= read -r file; do
    echo "$file includes the office's headers outside excel/calc/"
    status=1
done < <(grep -rlE --include='*.h' --include='*.cpp' \
    '^#include <(com/sun/star|cppu|cppuhelper|rtl|uno|osl|sal|unotools)/' "${folders[@]}" |
    grep -v '^excel/calc/' || true)

exit $status
