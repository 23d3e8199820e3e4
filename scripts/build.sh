#!/usr/bin/env bash
# Configures and builds the release tree build/: the module, the host program,
# the template project database and the server backup, without sanitizers and
# without the test suite, so that any host can load build/lib/libstrataloom.so.
# Options left in build/ by an earlier configure that would change that are
# set back. Usage: scripts/build.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSTRATALOOM_SANITIZE=OFF \
  -DSTRATALOOM_TESTS=OFF -DSTRATALOOM_BENCH=OFF "$@" >/dev/null
cmake --build build -j"$(nproc)"
