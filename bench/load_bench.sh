#!/usr/bin/env bash
# Runs the many-hosts load test on a throwaway local server: the steady run
# RUNS times (default 3), the run with the server restarted halfway
# RESTART_RUNS times (default 1), and IDLE_RUNS (default 0) runs in which
# every host pauses 5 s between calls, longer than the module keeps an idle
# connection. Arguments go to every run (e.g. --hosts 4 --seconds 5). Reports
# (text and JSON) are written to OUT (default: the current directory).
#
#   bench/load_bench.sh [BUILD_DIR] [options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-bench}
[ $# -gt 0 ] && shift
bench=$build/bin/strataloom_load_bench
out=${OUT:-.}
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
# run NAME TITLE OPTIONS...: one run, its report in NAME.txt and NAME.json.
run() {
  local name=$1 title=$2
  shift 2
  echo "== $title (uptime: $(uptime))"
  "$bench" --server-data "$TEST_SERVER_DIR/data" "$@" --json "$out/$name.json" |
    tee "$out/$name.txt" || status=1
}
for ((n = 1; n <= ${RUNS:-3}; n++)); do
  run "load_steady_$n" "steady run $n" "$@"
done
for ((n = 1; n <= ${RESTART_RUNS:-1}; n++)); do
  run "load_restart_$n" "server restarted at $((seconds / 2)) s, run $n" "$@" \
    --restart-at "$((seconds / 2))" --restart-command "$restart"
done
for ((n = 1; n <= ${IDLE_RUNS:-0}; n++)); do
  run "load_idle_$n" "hosts pausing 5 s between calls, run $n" "$@" --think-ms 5000
done
exit $status
