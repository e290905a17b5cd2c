#!/usr/bin/env bash
# Runs the clean-exit test with 200 programs that attach, write and exit one after the other
# (the suite runs 16).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${MARLOWIN_BUILD_DIR:-$root/build}"
MARLOWIN_EXIT_RUNS="${1:-200}" QT_QPA_PLATFORM=offscreen "$build/tests/excel/tst_linkexit"
