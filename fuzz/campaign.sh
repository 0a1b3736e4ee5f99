#!/usr/bin/env bash
# A long fuzzing campaign on demand: fuzz/campaign.sh [seconds-per-target, default 600] [filter]
exec bash "$(dirname "${BASH_SOURCE[0]}")/run-fuzzers.sh" "${1:-600}" "${2:-}"
