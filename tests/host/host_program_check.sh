#!/usr/bin/env bash
# The host program as a user meets it: help on standard output, one line for
# each usage error, exit codes 0/1/2, and projects made next to existing ones
# without touching them. With STRATALOOM_TEST_SERVER set, also on the server.
# Usage: host_program_check.sh PROGRAM
set -uo pipefail

program=$1
work=$(mktemp -d /tmp/strataloom-cli.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

# Runs the program: standard output in $work/out, standard error in
# $work/err, the exit code in $status.
run() {
  "$program" "$@" >"$work/out" 2>"$work/err"
  status=$?
}
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what (exit $status)"
    sed 's/^/     out: /' "$work/out"
    sed 's/^/     err: /' "$work/err"
    failures=$((failures + 1))
  fi
}
exits() { [ "$status" -eq "$1" ]; }
says() { grep -qF -- "$2" "$work/$1"; }
one_line_error() { [ "$(wc -l <"$work/err")" -eq 1 ] && grep -qF -- "$1" "$work/err" && [ ! -s "$work/out" ]; }

for words in "--help" "-h" "help"; do
  run $words
  check "'$words' lists the commands on standard output" \
    eval 'exits 0 && says out "usage: strataloom COMMAND" && says out create-project && [ ! -s "$work/err" ]'
done
run help create-project
check "help COMMAND tells the command's arguments" eval 'exits 0 && says out "--template DIR"'
run demo --help
check "COMMAND --help is the same help" eval 'exits 0 && says out "usage: strataloom demo"'

run
check "no command: exit 2, one line" eval 'exits 2 && one_line_error "no command given"'
run frobnicate
check "unknown command: exit 2, one line" eval 'exits 2 && one_line_error "unknown command frobnicate"'
run help frobnicate
check "help of an unknown command: exit 2" eval 'exits 2 && one_line_error "unknown command frobnicate"'
run demo "$work/a" "$work/b"
check "an extra argument is refused" eval 'exits 2 && one_line_error "takes at most 1 argument, 2 given" && [ ! -e "$work/a" ]'
run create-project "$work/p" Field --template
check "an option without its value is refused" eval 'exits 2 && one_line_error "--template needs a value"'
run create-project "$work/p" Field --temlate "$work"
check "an unknown option is refused" eval 'exits 2 && one_line_error "unknown option --temlate"'
run create-project Field --server "host=/nowhere" --template "$work"
check "--template with --server is refused" eval 'exits 2 && one_line_error "--template"'

run version
check "version names the program's and the module's versions" eval 'exits 0 && says out "strataloom program" && says out module'
STRATALOOM_MODULE="$work/missing.so" run version
check "STRATALOOM_MODULE names the module loaded" eval 'exits 1 && says err "$work/missing.so"'

mkdir -p "$work/p"
run create-project "$work/p" Field
check "create-project makes PARENT/NAME/NAME.mdb from the installed template" \
  eval 'exits 0 && says out "Project Field: $work/p/Field/Field.mdb" && [ -f "$work/p/Field/Field.mdb" ]'
template_dir=$(dirname "$program")/../share/strataloom/template
run create-project "$work/p" Other --template "$template_dir"
check "create-project takes the template folder of --template" eval 'exits 0 && [ -f "$work/p/Other/Other.mdb" ]'
before=$(cksum <"$work/p/Field/Field.mdb")
run create-project "$work/p" Field
check "an existing project folder is left as it is" \
  eval 'exits 1 && says err "exists already" && [ "$(cksum <"$work/p/Field/Field.mdb")" = "$before" ]'
run create-project "$work/p" Third --template "$work/no-template"
check "a missing template fails and leaves no folder" eval 'exits 1 && [ ! -e "$work/p/Third" ]'

run create-project "$work/missing/deeper" Foo
check "a missing parent folder is named as such, in English" \
  eval 'exits 1 && says err "the parent folder $work/missing/deeper does not exist" && [ ! -e "$work/missing" ]'
run create-project "$work/p" ""
check "an empty project name is said to be empty" eval 'exits 1 && says err "the project name is empty" && ! says err "exists already"'
run create-project "$work/p" "a/b"
check "a name holding / is refused as no folder name" eval 'exits 1 && says err "is not a folder name"'

mkdir -p "$work/d/Demo"
echo "the user's notes" >"$work/d/Demo/notes.txt"
run demo "$work/d"
check "the demo leaves an existing Demo alone and says which project it made" \
  eval 'exits 0 && [ -f "$work/d/Demo/notes.txt" ] && [ "$(ls "$work/d/Demo")" = notes.txt ] &&
        says out "the demo project is $work/d/Demo2" && says out "Well-3" && [ -f "$work/d/Demo2/Demo2.mdb" ]'
run demo "$work/d"
check "a second demo run makes the next fresh project" eval 'exits 0 && [ -f "$work/d/Demo3/Demo3.mdb" ] && [ -f "$work/d/Demo2/Demo2.mdb" ]'

run wells "$work/d/Demo2/Demo2.mdb" --project Demo2
check "a data command of the formats library runs on the loaded module" \
  eval 'exits 0 && says out Well-1 && says out Well-3'
run help import-las
check "the data commands have their help" eval 'exits 0 && says out "usage: strataloom import-las DB"'
run import-las "$work/d/Demo2/Demo2.mdb"
check "a data command's usage error: exit 2, one line" eval 'exits 2 && one_line_error "strataloom import-las: "'
run curves "$work/no-such.mdb" Well-1
check "a data command's failure: exit 1" eval 'exits 1 && [ -s "$work/err" ]'

if [ -n "${STRATALOOM_TEST_SERVER:-}" ]; then
  name="cli_check_$$"
  run create-project "$name" --server "$STRATALOOM_TEST_SERVER"
  check "create-project on the server prints a connection string naming the database once" \
    eval 'exits 0 && says out "dbname=$name" && [ "$(grep -o "dbname=" "$work/out" | wc -l)" -eq 1 ]'
  run create-project "$name" --server "$STRATALOOM_TEST_SERVER"
  check "an existing server project is reported as existing" \
    eval 'exits 1 && says err "database $name on the server exists already"'
  psql -q "$STRATALOOM_TEST_SERVER" -c "DROP DATABASE IF EXISTS $name" >/dev/null 2>&1 || true
fi

echo "$failures failed"
[ "$failures" -eq 0 ]
