#!/usr/bin/env bash
# Installs what is missing, builds the release tree build/, and takes the host
# program on a tour of a new project: it makes the project, imports the demo
# wells' LAS files, tops and deviation surveys shipped under share/demo/, lists
# what is stored (one listing as CSV), exports one well back to LAS and draws
# its log plot.
# A project folder that is there already is left as it is: the tour makes the
# next free one (Tour, Tour2, ...). Usage: scripts/demo.sh [PARENT_DIR]
# (default build/demo)
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/build.sh

strataloom=./build/bin/strataloom
parent="${1:-build/demo}"
mkdir -p "$parent"
name=Tour
n=1
while [ -e "$parent/$name" ]; do
  n=$((n + 1))
  name="Tour$n"
done
database="$parent/$name/$name.mdb"
well=DEMO-1

step() { printf '\n== %s\n' "$*"; }

step "A new project: $parent/$name"
"$strataloom" create-project "$parent" "$name"
step "What a LAS file holds, and its import"
"$strataloom" las-info share/demo/DEMO-2.las
"$strataloom" import-las "$database" --project "$name" share/demo/DEMO-1.las share/demo/DEMO-2.las
step "Tops and deviation surveys from CSV files"
"$strataloom" import-tops "$database" share/demo/tops.csv
"$strataloom" import-deviation "$database" share/demo/deviation.csv
step "What the project holds"
"$strataloom" info "$database" --project "$name"
"$strataloom" wells "$database" --project "$name"
step "Curves and markers of $well"
"$strataloom" curves "$database" "$well"
"$strataloom" markers "$database" "$well"
"$strataloom" survey "$database" "$well" --format csv
step "$well back to LAS, and its log plot"
"$strataloom" export-las "$database" "$well" -o "$parent/$name/$well.las"
"$strataloom" plot "$database" "$well" -o "$parent/$name/$well.svg"
printf '\nThe log plot of %s is %s: open it in a browser.\n' "$well" "$parent/$name/$well.svg"
