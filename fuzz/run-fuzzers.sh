#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan+UBSan) and runs each for a while.
#   fuzz/run-fuzzers.sh SECONDS_PER_TARGET|smoke [target-name-filter]
# "smoke" shares about a minute among all targets (at least 3 s each).
# Prints, per target, the executions and the coverage reached. New inputs go to a scratch corpus
# under build/fuzz/, never into the seeds of the repository.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-10}
filter=${2:-}
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKELVO_FUZZ=ON -DKELVO_SANITIZE=ON -DKELVO_GUI=OFF >/dev/null
mapfile -t names < <(cut -d'|' -f1 "$build/fuzzers.txt")
if [ "$seconds" = smoke ]; then
    seconds=$(( 60 / ${#names[@]} ))
    [ "$seconds" -ge 3 ] || seconds=3
fi
cmake --build "$build" -j "$(nproc)" --target "${names[@]}"
# No allocation stacks and a small quarantine: keeping them costs the targets that read whole
# replies half their speed. A crash is reported all the same; run its artifact again with
# ASAN_OPTIONS=detect_leaks=1 for the stacks of the allocation and the release.
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:malloc_context_size=0:quarantine_size_mb=16
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
while IFS='|' read -r name binary corpus dict maxlen; do
    [ -z "$filter" ] || [[ "$name" == *"$filter"* ]] || continue
    work="$build/corpus-run/$name"
    mkdir -p "$work"
    args=(-max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -timeout=10 -max_len="${maxlen:-65536}"
          -artifact_prefix="$build/$name-")
    [ -n "$dict" ] && args+=(-dict="$dict")
    log="$build/$name.log"
    if "$binary" "${args[@]}" "$work" ${corpus:+"$corpus"} >"$log" 2>&1; then
        execs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
        cov=$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+' || true)
        echo "$name: ${execs:-?} executions, ${cov:-cov: ?}"
    else
        echo "$name: FAILED (see $log)"
        tail -40 "$log"
        status=1
    fi
done < "$build/fuzzers.txt"
exit $status
