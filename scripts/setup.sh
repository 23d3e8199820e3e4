#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the install check
# need: only the missing ones, as root or through sudo.
set -euo pipefail

packages=(g++ cmake make pkg-config libsqlite3-dev libgtest-dev libpq-dev
          postgresql python3 python3-dev python3-pybind11 python3-numpy python3-pandas
          python3-pytest)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
