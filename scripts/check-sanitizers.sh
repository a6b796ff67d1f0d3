#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer, runs the
# whole test suite there, then runs each fuzz target for a bounded time, starting from a scratch
# copy of its committed corpus (fuzz/corpus/<target>), so that the tree stays as it is.
# Fails on a compiler warning, a failed test, any sanitizer report or a fuzz finding; findings
# are kept in build-sanitize/fuzz-findings.
#
#   FUZZ_SECONDS  time per fuzz target (default 30)
#   JOBS          parallel compile jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build-sanitize
fuzz_seconds=${FUZZ_SECONDS:-30}
jobs=${JOBS:-2}
targets=(fuzz_settingslist fuzz_placeholders fuzz_virtualprinter fuzz_logoimport fuzz_windows)

# llvm brings the symbolizer that turns sanitizer reports into file and line.
scripts/install-deps.sh clang llvm libclang-rt-14-dev

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DKASSOTYP_FUZZ=ON -DKASSOTYP_HARDENING=OFF >/dev/null
cmake --build "$build" -j"$jobs"

# Qt's plugins and fontconfig keep some allocations until exit; the suppressions name only
# those libraries, so a leak in our own code is still reported.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
# The print tests go through the private CUPS server, as in the test command.
print_services="$(scripts/print-services.sh)"
eval "export $print_services"

(cd "$build" && ctest --output-on-failure -j"$jobs")

scratch="$root/$build/fuzz-run"
findings="$root/$build/fuzz-findings"
rm -rf "$scratch" "$findings"
mkdir -p "$scratch" "$findings"
failed=()
summary=()
for target in "${targets[@]}"; do
    corpus="$scratch/$target"
    cp -r "fuzz/corpus/$target" "$corpus"
    before=$(find "$corpus" -type f | wc -l)
    log="$scratch/$target.log"
    start=$(date +%s)
    status=0
    "$build/fuzz/$target" -max_total_time="$fuzz_seconds" -timeout=20 -print_final_stats=1 \
        -artifact_prefix="$findings/$target-" "$corpus" >"$log" 2>&1 || status=$?
    seconds=$(($(date +%s) - start))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    after=$(find "$corpus" -type f | wc -l)
    summary+=("$(printf '%-20s %10s executions in %4d s, corpus %d -> %d inputs' \
        "$target" "${runs:-?}" "$seconds" "$before" "$after")")
    if [ "$status" -ne 0 ]; then
        failed+=("$target")
        echo "== $target failed (exit $status); the end of its log:"
        tail -n 60 "$log"
    fi
done

echo "== fuzzing, ${fuzz_seconds} s per target"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz findings in: ${failed[*]} (inputs kept in $findings)"
    exit 1
fi
echo "sanitizers: test suite and fuzz targets clean"
