#!/usr/bin/env bash
# Installs, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs the whole test suite through CTest, on the embedded engine and on a
# throwaway database server. The benchmarks are built, not run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh -DSTRATALOOM_SANITIZE=ON -DSTRATALOOM_TESTS=ON -DSTRATALOOM_BENCH=ON

# Every data-class test runs on both engines: without a server the run fails.
source ./scripts/testserver.sh
start_test_server

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd build
ctest --output-on-failure --no-tests=error --timeout 300 -j2
