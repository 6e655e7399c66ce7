#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer, and runs each for a bounded
# time from the seed corpus that the build generates. Fails on any crash,
# sanitizer report, leak or broken invariant; the input that caused it is
# kept under build-fuzz/fuzz/artifacts/ (make it a regression test in
# tests/fuzz/regressions/<harness>/).
#
#   scripts/run_fuzzers.sh [HARNESS...]   (definition, model, run; default all)
#   FUZZ_SECONDS=N                         time per harness (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    harnesses=(definition model run)
fi

scripts/install_deps.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
targets=(fuzz_seed_corpus)
for harness in "${harnesses[@]}"; do
    targets+=("fuzz_$harness")
done
cmake --build build-fuzz -j2 --target "${targets[@]}"

failed=()
for harness in "${harnesses[@]}"; do
    corpus=build-fuzz/fuzz/corpus/$harness
    artifacts=build-fuzz/fuzz/artifacts/$harness
    log=build-fuzz/fuzz/$harness.log
    rm -rf "$corpus"
    mkdir -p "$corpus" "$artifacts"
    echo "Fuzzing $harness for $seconds s"
    status=0
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "build-fuzz/fuzz/fuzz_$harness" -max_total_time="$seconds" -detect_leaks=1 -print_final_stats=1 \
        -dict=fuzz/veska.dict -max_len=131072 -rss_limit_mb=4096 -malloc_limit_mb=4096 \
        -artifact_prefix="$artifacts/" "$corpus" "build-fuzz/fuzz/seeds/$harness" >"$log" 2>&1 || status=$?
    grep -E "^#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb" "$log" || true
    if [ "$status" -ne 0 ] || grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:" "$log"; then
        echo "FAILED: $harness (exit $status); see $log"
        tail -n 40 "$log"
        ls -l "$artifacts"
        failed+=("$harness")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing failed: ${failed[*]}"
    exit 1
fi
echo "Fuzzing passed: ${harnesses[*]}"
