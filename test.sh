#!/usr/bin/env bash
# Builds everything and runs every test: the normal build with the layering and
# formatting checks, the plain C++ layers once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short fuzz run.
#   ./test.sh               everything
#   ./test.sh --fuzz SECS   fuzz for SECS seconds instead of the short default
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

FUZZ_SECONDS=20
while [ $# -gt 0 ]; do
  case "$1" in
    --fuzz) FUZZ_SECONDS="${2:?--fuzz needs a number of seconds}"; shift 2 ;;
    *) echo "usage: ./test.sh [--fuzz SECONDS]" >&2; exit 2 ;;
  esac
done

tolmira_install $PACKAGES_BUILD $PACKAGES_FORMAT
tolmira_install $PACKAGES_CHECKS || echo "note: sanitizer/fuzz tools could not be installed" >&2
tolmira_comma_locale
JOBS=$(tolmira_jobs)

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$JOBS"
echo "== tests"
(cd build && ctest --output-on-failure -j"$JOBS")

echo "== plain C++ layers under ASan+UBSan"
cmake -S . -B build-asan -DTOLMIRA_CORE_ONLY=ON -DTOLMIRA_SANITIZE=ON -DTOLMIRA_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$JOBS" --label-exclude checks)  # the tree checks ran above

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzz ($FUZZ_SECONDS s)"
  scripts/fuzz.sh "$FUZZ_SECONDS"
fi
echo "== all tests passed"
