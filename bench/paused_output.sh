#!/usr/bin/env bash
# F9 on a script whose output stops for PAUSE_S seconds and resumes, in the real window on an X
# server of its own: the program's CPU time during the pause against the same window left idle
# as long right before, a screenshot of the window in the middle of the pause and one after the
# run, whose result page shows both lines.
#
#   bench/paused_output.sh [SHOT.png]      PAUSE_S=60 by default
# Uses the Release build in build-bench (built here).
set -euo pipefail
cd "$(dirname "$0")/.."

PAUSE_S=${PAUSE_S:-60}
shot=${1:-paused_output.png}

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKESTRIM_BENCH=ON -DKESTRIM_TESTS=OFF > /dev/null
cmake --build build-bench --parallel 2 --target kestrim > /dev/null

work=$(mktemp -d)
server=""
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. bench/virtual_display.sh

printf '$| = 1; print "a\\n"; sleep %d; print "b\\n";\r\n' "$PAUSE_S" > "$work/pause.pl"
mkdir -p "$work/home"
HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data \
  build-bench/bin/kestrim "$work/pause.pl" 2> "$work/program.log" &
program=$!
for _ in $(seq 100); do xdotool search --onlyvisible --pid "$program" --name Kestrim > /dev/null 2>&1 && break; sleep 0.1; done
window=$(xdotool search --onlyvisible --pid "$program" --name Kestrim | head -1)
xdotool windowsize --sync "$window" 1280 1000
xdotool windowfocus --sync "$window"
sleep 2

# CPU time of the program over Seconds seconds, in ms a second.
cpu_ms_per_s() {
  local hz before after
  hz=$(getconf CLK_TCK)
  before=$(awk '{print $14 + $15}' /proc/"$program"/stat)
  sleep "$1"
  after=$(awk '{print $14 + $15}' /proc/"$program"/stat)
  awk -v t="$((after - before))" -v hz="$hz" -v s="$1" 'BEGIN {printf "%.1f", t * 1000 / hz / s}'
}

measured=$((PAUSE_S - 4))
idle=$(cpu_ms_per_s "$measured")
start=$(date +%s.%N)
xdotool key F9
sleep 2
half=$((measured / 2))
first=$(cpu_ms_per_s "$half")
import -window root "$shot"
second=$(cpu_ms_per_s "$((measured - half))")
# The run ends after the pause.
sleep 4
after=${shot%.png}-after.png
import -window root "$after"
echo "pause ${PAUSE_S} s, started $(awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN {printf "%.1f", n - s}') s ago"
echo "CPU, idle window before the run: ${idle} ms/s"
echo "CPU during the pause: ${first} ms/s (first half), ${second} ms/s (second half)"
echo "screenshots: $shot (during the pause), $after (after the run)"
