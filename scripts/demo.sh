#!/usr/bin/env bash
# Installs, builds, and runs the host program's demo: a project directory with
# a database copied from the template, wells stored through the module loaded
# at run time, read back and printed.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
./build/bin/strataloom demo "${1:-build/demo}"
