#!/usr/bin/env bash
# The second half of .ci/run: builds everything with clang, AddressSanitizer and UBSan into
# build-sanitize/, runs the whole test suite there, then gives every fuzz target a fixed number
# of runs over its corpus. Installs clang and libFuzzer when they are missing. GYVKT_WERROR=ON in
# the environment makes every warning an error here too.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FUZZ_RUNS="${FUZZ_RUNS:-100000}"

# clang and libFuzzer besides what the quick build needs.
"$here/tools/setup.sh" --packages-only clang libfuzzer-14-dev libclang-rt-14-dev

build="$here/build-sanitize"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DGYVKT_SANITIZE=ON -DGYVKT_FUZZ=ON -DGYVKT_WERROR="${GYVKT_WERROR:-OFF}"
cmake --build "$build" -j "$(nproc)"

# Qt and the font libraries keep their caches until exit; leaks are not what this run looks for.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
(cd "$build" && ctest --output-on-failure -j "$(nproc)")

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in examination gcrkey layout password lists journal backup; do
    # New inputs go to a scratch copy; the corpus in the repository stays as it is.
    mkdir -p "$work/$target"
    cp "$here/tests/fuzz/corpus/$target/"* "$work/$target/"
    echo "fuzz_$target: $FUZZ_RUNS runs"
    "$build/fuzz/fuzz_$target" -runs="$FUZZ_RUNS" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/" "$work/$target" 2>&1 | tail -n 12
done
