#!/usr/bin/env bash
# Writes the manual page of the host program from its own help texts: the
# overview of 'strataloom --help' and, for each command, 'strataloom help
# COMMAND'. Usage: manpage.sh PROGRAM VERSION OUTPUT.1.gz
set -euo pipefail
program=$1
version=$2
output=$3
mkdir -p "$(dirname "$output")"

# Text as troff takes it: backslashes doubled, a leading dot or quote escaped.
escape() { sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/" -e 's/-/\\-/g'; }

commands=$("$program" --help | sed -n 's/^  strataloom \([^ ]*\).*/\1/p' | awk '!seen[$0]++')

{
  echo ".TH STRATALOOM 1 \"\" \"strataloom $version\" \"User Commands\""
  echo ".SH NAME"
  echo "strataloom \\- make, list, import into and plot geoscience project databases"
  echo ".SH SYNOPSIS"
  echo ".B strataloom"
  echo ".I COMMAND"
  echo "[\\fIARGUMENTS\\fR]"
  echo ".SH DESCRIPTION"
  "$program" --help | sed -n '/^Commands:/,$p' | sed '1d' | sed -n '/^$/,$p' | sed '1d' | escape |
    sed 's/^$/.PP/'
  echo ".SH COMMANDS"
  for command in $commands; do
    synopsis=$("$program" help "$command" | sed -n '1s/^usage: strataloom //p')
    echo ".TP"
    echo ".B strataloom $(printf '%s' "$synopsis" | escape)"
    "$program" help "$command" | sed '1,2d' | escape | sed 's/^$/.br/'
  done
  echo ".SH ENVIRONMENT"
  echo ".TP"
  echo ".B STRATALOOM_MODULE"
  echo "The module to load instead of the one installed with the program."
  echo ".SH \"EXIT STATUS\""
  echo "0 success, 1 failure (with the reason on standard error), 2 bad usage, 130 an"
  echo "import stopped by a signal (the files imported are named)."
} | gzip -9n >"$output.tmp"
mv "$output.tmp" "$output"
