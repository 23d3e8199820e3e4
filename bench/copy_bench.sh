#!/usr/bin/env bash
# copy-project between a project file and a local server, both ways, beside
# the engines' own tools on the same data: pg_dump and a psql restore, and
# sqlite3's .dump and its restore.
#
#   STRATALOOM_BENCH_SERVER="host=... port=... user=... dbname=postgres" \
#     bench/copy_bench.sh BUILD_DIR [MEGABYTES] [RUNS]
#
# Makes a project of MEGABYTES (default 200) of curve data (wells of 20 curves
# of 5,000 samples, with headers and markers) in a project the host program of
# BUILD_DIR makes, then times each step RUNS times (default 3) and prints the median
# wall time, the processor time of the programs (user + system) and MB/s of
# table data and the programs' peak memory, with the machine's load. Each
# copy's time includes making the target and reading both sides again to
# compare them.
set -euo pipefail

build=${1:?usage: copy_bench.sh BUILD_DIR [MEGABYTES] [RUNS]}
megabytes=${2:-200}
runs=${3:-3}
server=${STRATALOOM_BENCH_SERVER:?set STRATALOOM_BENCH_SERVER to the maintenance database}
program=$(cd "$build" && pwd)/bin/strataloom
command -v sqlite3 >/dev/null || { echo "copy_bench: needs the sqlite3 program" >&2; exit 1; }

work=$(mktemp -d /tmp/strataloom-copybench.XXXXXX)
databases=()
cleanup() {
  for database in "${databases[@]}"; do
    psql -q -d "$server" -c "DROP DATABASE IF EXISTS \"$database\" WITH (FORCE)" >/dev/null 2>&1 || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

on_server() { echo "$server dbname=$1"; }

# The project: curves as the module stores them (samples as packed doubles,
# NaN for no value), well headers and markers.
"$program" create-project "$work" Bench >/dev/null
python3 - "$work/Bench/Bench.mdb" "$megabytes" <<'EOF'
import array, math, random, sqlite3, sys
path, megabytes = sys.argv[1], float(sys.argv[2])
curves, samples = 20, 5000
wells = max(1, int(megabytes * 1e6 / (curves * samples * 8)))
random.seed(7)
# A pool of random walks; each well takes them rotated by its own offset.
pool = []
for p in range(64):
    value, walk = 50.0 * p, array.array("d")
    for s in range(samples):
        value += random.gauss(0.0, 1.0)
        walk.append(math.nan if random.random() < 0.01 else value)
    pool.append(walk.tobytes())
depth = array.array("d", (1000.0 + 0.125 * s for s in range(samples))).tobytes()
db = sqlite3.connect(path)
with db:
    for w in range(wells):
        name = f"W-{w:04d}"
        db.execute("INSERT INTO w_well_data VALUES (?,?,?,?,?,?,?,?,?,?)",
                   ("Bench", name, "oil", 20500000.0 + w, 4400000.0 + w, "Y", 3, 12.5, 11.0, 3000.0))
        db.execute("INSERT INTO w_log_data VALUES (?,?,?,?,?,?)",
                   (name, "DEPT", "m", "DEPT", -999.25, depth))
        for c in range(1, curves):
            walk = pool[(w * 7 + c) % len(pool)]
            at = 8 * ((w * 131 + c) % samples)
            db.execute("INSERT INTO w_log_data VALUES (?,?,?,?,?,?)",
                       (name, f"C{c:02d}", "API", "DEPT", -999.25, walk[at:] + walk[:at]))
        for m in range(20):
            db.execute("INSERT INTO w_marker_data (WellName, MarkerName, TopDepth, BottomDepth) "
                       "VALUES (?,?,?,?)", (name, f"M{m}", 1000.0 + 25 * m, 1010.0 + 25 * m))
EOF
source_file="$work/Bench/Bench.mdb"

# Runs the command, appending "wall cpu" to the file named first.
timed() {
  local into=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >"$work/out" 2>"$work/err" || {
    echo "copy_bench: failed: $*" >&2
    cat "$work/err" >&2
    exit 1
  }
  awk '{ printf "%s %.2f %.0f\n", $1, $2 + $3, $4 / 1024 }' "$work/time" >>"$into"
}

for run in $(seq "$runs"); do
  database="copybench_$$_$run"
  databases+=("$database" "copybench_restore_$$_$run")
  timed "$work/to-server" "$program" copy-project "$source_file" "$(on_server "$database")"
  grep -o '([0-9.]* MB)' "$work/out" | tr -d '()MB ' >"$work/megabytes"
  timed "$work/to-file" "$program" copy-project "$(on_server "$database")" "$work/Back$run"
  timed "$work/pg-dump" pg_dump -d "$(on_server "$database")" -f "$work/dump.sql"
  psql -q -d "$server" -c "CREATE DATABASE copybench_restore_$$_$run TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'"
  timed "$work/psql-restore" psql -q -v ON_ERROR_STOP=1 -d "$(on_server "copybench_restore_$$_$run")" -f "$work/dump.sql"
  timed "$work/sqlite-dump" sqlite3 "$source_file" .dump
  cp "$work/out" "$work/dump-sqlite.sql"
  rm -f "$work/restored.mdb"
  timed "$work/sqlite-restore" sqlite3 "$work/restored.mdb" ".read $work/dump-sqlite.sql"
  rm -rf "$work/Back$run" "$work/dump.sql"
  psql -q -d "$server" -c "DROP DATABASE \"$database\" WITH (FORCE)" -c "DROP DATABASE \"copybench_restore_$$_$run\" WITH (FORCE)"
done

data=$(cat "$work/megabytes")
median() { sort -n -k"$2" "$1" | awk -v k="$2" '{ v[NR] = $k } END { print v[int((NR + 1) / 2)] }'; }
echo "copy-project benchmark: ${data} MB of table data, median of $runs runs"
echo "load: $(uptime)"
printf "%-44s %9s %9s %9s %9s\n" "step" "wall s" "cpu s" "MB/s" "peak MB"
row() {
  local wall cpu
  wall=$(median "$work/$2" 1)
  cpu=$(median "$work/$2" 2)
  printf "%-44s %9s %9s %9.1f %9s\n" "$1" "$wall" "$cpu" \
    "$(awk -v d="$data" -v w="$wall" 'BEGIN { print d / w }')" "$(median "$work/$2" 3)"
}
row "copy-project file -> new server database" to-server
row "copy-project server database -> new file" to-file
row "pg_dump (plain script)" pg-dump
row "psql restore of that script" psql-restore
row "sqlite3 .dump" sqlite-dump
row "sqlite3 restore of that dump" sqlite-restore
