#!/usr/bin/env bash
# A throwaway database server for the tests: a fresh cluster in a temporary
# directory, owned by an unprivileged user, listening on a Unix socket only.
# Source this file, then call start_test_server; the server stops when the
# shell exits, on every path out.

stop_test_server() {
  if [ -n "${TEST_SERVER_DIR:-}" ] && [ -d "$TEST_SERVER_DIR" ]; then
    "${TEST_SERVER_AS[@]}" "$TEST_SERVER_BIN/pg_ctl" -D "$TEST_SERVER_DIR/data" -m immediate \
      stop >/dev/null 2>&1 || true
    rm -rf "$TEST_SERVER_DIR"
  fi
}

start_test_server() {
  TEST_SERVER_BIN=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$TEST_SERVER_BIN" ] || [ ! -x "$TEST_SERVER_BIN/initdb" ]; then
    echo "test server: no server binaries under /usr/lib/postgresql" >&2
    return 1
  fi
  TEST_SERVER_DIR=$(mktemp -d /tmp/strataloom-server.XXXXXX)
  TEST_SERVER_AS=()
  if [ "$(id -u)" -eq 0 ]; then
    # The server refuses to run as root.
    TEST_SERVER_AS=(runuser -u postgres --)
    chown postgres "$TEST_SERVER_DIR"
  fi
  trap stop_test_server EXIT
  local port=5432
  "${TEST_SERVER_AS[@]}" "$TEST_SERVER_BIN/initdb" -D "$TEST_SERVER_DIR/data" -U strataloom \
    -A trust -E UTF8 --locale=C >"$TEST_SERVER_DIR/initdb.log" 2>&1 || {
    cat "$TEST_SERVER_DIR/initdb.log" >&2
    return 1
  }
  "${TEST_SERVER_AS[@]}" "$TEST_SERVER_BIN/pg_ctl" -D "$TEST_SERVER_DIR/data" \
    -l "$TEST_SERVER_DIR/server.log" -w -t 60 \
    -o "-k $TEST_SERVER_DIR -p $port -c listen_addresses='' -c fsync=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || {
    cat "$TEST_SERVER_DIR/server.log" >&2
    return 1
  }
  export STRATALOOM_TEST_SERVER="host=$TEST_SERVER_DIR port=$port user=strataloom dbname=postgres"
  export STRATALOOM_REQUIRE_SERVER=1
  echo "test server: $STRATALOOM_TEST_SERVER"
}
