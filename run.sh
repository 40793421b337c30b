#!/usr/bin/env bash
# Installs what is missing, builds and starts the editor.
# Without a display: xvfb-run ./run.sh
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
tolmira_install $PACKAGES_BUILD
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(tolmira_jobs)" --target tolmira 2>/dev/null || true
if [ ! -x build/src/app/tolmira ]; then
  echo "The editor window is not built yet: only the libraries and tests exist so far." >&2
  exit 1
fi
exec build/src/app/tolmira
