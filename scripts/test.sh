#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
build="${MARLOWIN_BUILD_DIR:-$root/build}"
ctest --test-dir "$build" --output-on-failure
