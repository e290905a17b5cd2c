#!/usr/bin/env bash
# Installs what is missing, builds, opens an example workbook in LibreOffice Calc and starts
# Marlowin beside it.
#   scripts/run.sh [loan | projectile | oscillator | <workbook file>]   (loan by default)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
workbook="${1:-loan}"
if [ ! -f "$workbook" ]; then
    workbook="$root/examples/${workbook%.fods}.fods"
fi
if [ ! -f "$workbook" ]; then
    examples=("$root"/examples/*.fods)
    examples=("${examples[@]##*/}")
    echo "run.sh: no workbook $1; the examples are: ${examples[*]%.fods}" >&2
    exit 2
fi

"$root/scripts/setup.sh"
build="${MARLOWIN_BUILD_DIR:-$root/build}"

# When Calc is already open, this start only hands its arguments to the running office, which
# opens the workbook and starts listening on Marlowin's pipe; no second office starts.
# The office makes its pipe with this umask; anyone who may write to the pipe can drive the
# office, so nobody else may (Marlowin refuses a pipe that others can write). Only the write
# bits are taken away: the office saves the user's workbooks with the same umask.
(umask "$(printf '%04o' $((0$(umask) | 022)))" &&
    exec soffice --calc --norestore "--accept=pipe,name=marlowin;urp;" "$workbook") &
# One Marlowin per user is enough: it works with whichever workbook is in front.
if pgrep -u "$(id -u)" -x marlowin >/dev/null; then
    echo "run.sh: Marlowin is already running; it works with the workbook now in front."
    exit 0
fi
exec "$build/marlowin"
