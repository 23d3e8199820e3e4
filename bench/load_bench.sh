#!/usr/bin/env bash
# Runs the many-hosts load test on a throwaway local server: the steady run
# RUNS times, then one run with the server restarted halfway. Arguments go to
# every run (e.g. --hosts 4 --seconds 5). Reports (text and JSON) are written
# to OUT (default: the current directory).
#
#   bench/load_bench.sh [BUILD_DIR] [options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-bench}
[ $# -gt 0 ] && shift
bench=$build/bin/strataloom_load_bench
out=${OUT:-.}
runs=${RUNS:-2}
seconds=60
for ((i = 1; i <= $#; i++)); do
  if [ "${!i}" = "--seconds" ]; then
    next=$((i + 1))
    seconds=${!next}
  fi
done

# shellcheck source=../scripts/testserver.sh
source "$here/scripts/testserver.sh"
start_test_server >/dev/null
export STRATALOOM_BENCH_SERVER=$STRATALOOM_TEST_SERVER

# Restarting the test cluster the way it was started (pg_ctl keeps its options).
printf -v restart '%q ' "${TEST_SERVER_AS[@]}" "$TEST_SERVER_BIN/pg_ctl" -D "$TEST_SERVER_DIR/data" \
  -l "$TEST_SERVER_DIR/server.log" -m fast -w -t 60 restart
restart+=">/dev/null"

status=0
for ((run = 1; run <= runs; run++)); do
  echo "== steady run $run of $runs (uptime: $(uptime))"
  "$bench" "$@" --json "$out/load_steady_$run.json" | tee "$out/load_steady_$run.txt" || status=1
done
echo "== run with the server restarted at $((seconds / 2)) s (uptime: $(uptime))"
"$bench" "$@" --restart-at "$((seconds / 2))" --restart-command "$restart" \
  --json "$out/load_restart.json" | tee "$out/load_restart.txt" || status=1
exit $status
