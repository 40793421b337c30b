#!/usr/bin/env bash
# Builds everything and runs every test: the normal build with the layering and
# formatting checks, the plain C++ layers once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short fuzz run, and the Windows build of the plain
# layers and the command-line tool with its tests under Wine (skipped, with a note,
# when MinGW-w64 or Wine cannot be installed or Wine cannot run here).
#   ./test.sh               everything
#   ./test.sh --fuzz SECS   fuzz for SECS seconds instead of the short default
#   ./test.sh --windows     the Windows build and its tests only; a missing part fails
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

FUZZ_SECONDS=20
WINDOWS_ONLY=""
while [ $# -gt 0 ]; do
  case "$1" in
    --fuzz) FUZZ_SECONDS="${2:?--fuzz needs a number of seconds}"; shift 2 ;;
    --windows) WINDOWS_ONLY=1; shift ;;
    *) echo "usage: ./test.sh [--fuzz SECONDS] [--windows]" >&2; exit 2 ;;
  esac
done
JOBS=$(tolmira_jobs)

# Builds build-windows/ and runs its tests through Wine. Returns 2 when it could not
# be tried at all (packages, or a Wine that does not start), 1 when something failed.
windows_tests() {
  echo "== Windows build (MinGW-w64) and its tests under Wine"
  if ! tolmira_install $PACKAGES_WINDOWS; then
    echo "note: the Windows packages could not be installed:$(tolmira_missing_packages $PACKAGES_WINDOWS)" >&2
    return 2
  fi
  cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DTOLMIRA_CORE_ONLY=ON -DTOLMIRA_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
  cmake --build build-windows -j"$JOBS" || return 1
  # The Wine folder is made first; when even that fails, Wine cannot run here.
  if ! (cd build-windows && ctest --output-on-failure -R '^wine\.prefix$' >/dev/null); then
    echo "note: Wine could not make its folder in build-windows/wineprefix" >&2
    return 2
  fi
  (cd build-windows && ctest --output-on-failure -j"$JOBS") || return 1
}

if [ -n "$WINDOWS_ONLY" ]; then
  tolmira_install $PACKAGES_BUILD || true  # cmake itself
  windows_tests || { echo "== the Windows tests did not pass" >&2; exit 1; }
  echo "== Windows tests passed"
  exit 0
fi

tolmira_install $PACKAGES_BUILD $PACKAGES_FORMAT
tolmira_install $PACKAGES_CHECKS || echo "note: sanitizer/fuzz tools could not be installed" >&2
tolmira_comma_locale

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
rc=0
windows_tests || rc=$?
case $rc in
  0) ;;
  2) echo "== skipped the Windows build and its tests under Wine (see the note above)" ;;
  *) echo "== the Windows tests did not pass" >&2; exit 1 ;;
esac
echo "== all tests passed"
