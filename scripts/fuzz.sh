#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer)
# in build-fuzz and runs each for its share of SECONDS.
#   scripts/fuzz.sh [SECONDS]     default 20
# New inputs go to a scratch folder, never into fuzz/corpus; a crash, leak or
# failed check is kept in fuzz-out/<target>/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh

TOTAL="${1:-20}"
case "$TOTAL" in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac

if ! command -v clang >/dev/null 2>&1 || ! command -v clang++ >/dev/null 2>&1; then
  echo "note: clang is not installed, so the fuzz targets are not run (apt-get install clang libfuzzer-14-dev)" >&2
  exit 0
fi
probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' > "$probe_dir/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe_dir/probe.cpp" -o "$probe_dir/probe" >/dev/null 2>&1; then
  echo "note: clang cannot link libFuzzer with the sanitizers here, so the fuzz targets are not run" \
       "(apt-get install libfuzzer-14-dev libclang-rt-14-dev)" >&2
  exit 0
fi

targets=()
for src in fuzz/*Fuzz.cpp; do
  targets+=("$(basename "$src" .cpp)")
done

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLMIRA_CORE_ONLY=ON -DTOLMIRA_FUZZ=ON -DTOLMIRA_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(tolmira_jobs)" --target "${targets[@]}"

share=$(( TOTAL / ${#targets[@]} ))
[ "$share" -ge 1 ] || share=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
for t in "${targets[@]}"; do
  work="build-fuzz/fuzz-work/$t"
  out="fuzz-out/$t"
  rm -rf "$work"
  mkdir -p "$work" "$out"
  dict=()
  [ -f fuzz/table.dict ] && dict=(-dict=fuzz/table.dict)
  log="$work.log"
  echo "-- $t: ${share}s"
  # The scratch folder comes first: libFuzzer writes new inputs only there.
  if "build-fuzz/fuzz/$t" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -print_final_stats=1 -artifact_prefix="$out/" "${dict[@]}" "$work" "fuzz/corpus/$t" >"$log" 2>&1; then
    grep -E "^#[0-9]+.*DONE|stat::number_of_executed_units" "$log" | tail -2 || true
  else
    echo "FINDING in $t (input kept in $out/):" >&2
    tail -n 60 "$log" >&2
    failed+=("$t")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: no findings"
