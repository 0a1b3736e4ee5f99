#!/usr/bin/env bash
# A short fuzzing run of every target, for CI: about a minute in all.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
per=${KELVO_FUZZ_SMOKE_SECONDS:-8}
exec bash fuzz/run-fuzzers.sh "$per"
