#!/usr/bin/env bash
# Builds the fuzz targets (clang with libFuzzer, address and UB sanitizers) in
# build-fuzz and runs each for a bounded time.
#
#   fuzz/run.sh          FUZZ_SECONDS per target (default 60)
#   fuzz/run.sh --ci     as above, but a missing fuzzer toolchain is reported
#                        and skipped instead of failing
#
# FUZZ_TARGETS selects targets (default: all four). The growing corpora live
# in build-fuzz/corpus/<target> (seeded from fuzz/corpus/<target>); inputs
# that crash or break an invariant land in build-fuzz/artifacts/<target>/.
# Keep one by copying it to fuzz/crashes/<target>/ once it is fixed: the test
# suite replays fuzz/corpus and fuzz/crashes through the same entry points.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-build-fuzz}
targets=${FUZZ_TARGETS:-"free_format a_format model_file session"}
jobs=${JOBS:-2}
ci=0
# The harnesses create and remove files at every input: a memory file system
# where there is one.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
[ "${1:-}" = "--ci" ] && ci=1

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
have_toolchain() {
  command -v clang++ >/dev/null 2>&1 || return 1
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/t.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$probe/t.cpp" -o "$probe/t" >/dev/null 2>&1
}

if ! have_toolchain; then
  echo "fuzz: installing clang and libFuzzer (Debian packages clang, libclang-rt-dev)"
  export DEBIAN_FRONTEND=noninteractive
  { apt-get update && apt-get install -y --no-install-recommends clang libclang-rt-dev; } >/dev/null 2>&1 ||
    { apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev; } >/dev/null 2>&1 || true
fi
if ! have_toolchain; then
  echo "fuzz: SKIPPED - clang with libFuzzer (-fsanitize=fuzzer) is not available and could not be installed"
  [ "$ci" = 1 ] && exit 0
  exit 1
fi

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

failed=()
for t in $targets; do
  corpus="$build/corpus/$t"
  artifacts="$build/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  echo "fuzz: $t for ${seconds}s"
  log="$build/$t.log"
  if "$build/fuzz_$t" -max_total_time="$seconds" -max_len=4096 -timeout=120 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" "$corpus" "fuzz/corpus/$t" >"$log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    echo "fuzz: $t passed: $execs executions ($rate/s), $cov, corpus $(ls "$corpus" | wc -l) files"
  else
    echo "fuzz: $t FAILED (log $log, inputs in $artifacts):"
    grep -E "invariant broken|ERROR: |SUMMARY: |runtime error" "$log" | head -5 || true
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failures in: ${failed[*]}"
  exit 1
fi
