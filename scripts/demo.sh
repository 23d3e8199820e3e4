#!/usr/bin/env bash
# Installs what is missing, builds the release tree build/, and runs the host
# program's demo: a project directory with a database copied from the
# template, wells stored through the module loaded at run time, read back and
# printed. An existing demo project is left as it is; the demo makes the next
# free one. Usage: scripts/demo.sh [PARENT_DIR]   (default build/demo)
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/build.sh
./build/bin/strataloom demo "${1:-build/demo}"
