#!/usr/bin/env bash
# Records the seed inputs of the box-operation fuzz target from the demo box's real replies.
#   fuzz/robust/make-seeds.sh path/to/kelvo-demobox
# Each seed: one byte (1: new-form box, 0: old-form), then the replies in the order the client
# asks for them, separated by the line "<<<>>>".
set -euo pipefail
box=${1:?demo box binary}
out=$(dirname "${BASH_SOURCE[0]}")/corpus/operations
mkdir -p "$out"
sep=$'\n<<<>>>\n'

# A day's guide is tens of kilobytes; a few events cover every reading path and keep each run short.
first_events() {
    python3 -c 'import re, sys
text = sys.stdin.buffer.read()
events = list(re.finditer(rb"<evt[ >].*?</evt>", text, re.S))
if b"<epg " in text and len(events) > 2:
    text = text[:events[1].end()] + text[events[-1].end():]
sys.stdout.buffer.write(text)'
}

run() { # version file-name requests...
    local version=$1 name=$2; shift 2
    "$box" --port 0 --no-ffmpeg --no-upnp --services 7 --protocol-version "$version" $([ "$name" = single-byte ] && echo --single-byte) > /tmp/seedbox.$$ &
    local pid=$!
    local port=""
    for _ in $(seq 100); do
        port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' /tmp/seedbox.$$)
        [ -n "$port" ] && break
        sleep 0.05
    done
    { if [ "$version" = 1.3 ]; then printf '\1'; else printf '\0'; fi
      local first=1
      for r in "$@"; do
          [ $first = 1 ] || printf '%s' "$sep"
          first=0
          curl -s -X PUT --path-as-is -g "http://127.0.0.1:$port/qnql?$r" | first_events
      done; } > "$out/$name"
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -f /tmp/seedbox.$$
}

pin='check_pin&pin_code="8351"'
start='start_streaming&sat_idx=0&svc_type=0&svc_idx=0&net_protocol=0&net_client_ip="127.0.0.1"&net_client_port=5004&pin_code="8351"'
alarm='set_alarm&sat_idx=0&svc_type=0&svc_idx=1&alarm_id=0&alarm_type=0&alarm_mode=1&alarm_days=0&stime="2030-1-5T9:7"&etime="2030-1-5T9:37"&evt_id=-1'
# The order of the target's operations: reload, guide, set schedule, start, stop, remote key.
run 1.3 new-form "q=$pin++fav_group++svc_list++alarm_list++status" "q=epg_info&svc_type=0&svc_idx=0" \
    "cmd=$alarm" "cmd=stop_streaming++$start" "cmd=stop_streaming" "cmd=rcu&key=5&repeat=0"
run 1.2 old-form "q=fav_group" "q=svc_list" "q=alarm_list" "cmd=$pin" "q=status" \
    "q=epg_info&svc_type=0&svc_idx=0" "cmd=$alarm" "cmd=stop_streaming" "cmd=$start" "cmd=stop_streaming" \
    "cmd=rcu&key=5&repeat=0"
run 1.2 single-byte "q=fav_group" "q=svc_list" "q=alarm_list" "cmd=$pin" "q=status"
