#!/usr/bin/env bash
# Installs what is missing, builds, opens the example workbook in LibreOffice Calc and
# starts Marlowin beside it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
build="${MARLOWIN_BUILD_DIR:-$root/build}"

example="$root/examples/loan.fods"
if [ -f "$example" ]; then
    # The office makes its pipe with this umask; anyone who may write to the pipe can drive the
    # office, so only the user may (Marlowin refuses a pipe that others can write).
    (umask 077 && exec soffice --calc --norestore "--accept=pipe,name=marlowin;urp;" "$example") &
fi
exec "$build/marlowin"
