#!/usr/bin/env bash
# Installs what is missing, builds and starts the editor.
# Without a display: apt-get install xvfb, then xvfb-run -a ./run.sh
set -euo pipefail
# Files named here open in the left and right pane; the editor starts in this
# script's folder, so relative names are made absolute first.
files=()
for f in "$@"; do
  case $f in
    /*) files+=("$f") ;;
    *) files+=("$PWD/$f") ;;
  esac
done
cd "$(dirname "$0")"
. scripts/setup.sh
tolmira_install $PACKAGES_BUILD
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if ! cmake --build build -j"$(tolmira_jobs)" --target tolmira; then
  echo "Building the editor failed (see the compiler output above)." >&2
  exit 1
fi
exec build/src/app/tolmira ${files[@]+"${files[@]}"}
