#!/usr/bin/env bash
# The program as a user meets it: a real window on an X server of its own (Xvfb, the xcb
# platform, OpenGL in software as on virtual machines and remote desktops), measured from outside
# the program (bench/RealWindowProbe.cpp):
#   - start: from the start to the window mapped and to its first drawing (STARTS starts)
#   - memory: resident memory of the program and its helper processes, 4 s after the start
#   - typing: from a typed key to the server having drawn its repaint (KEYS keys), in the script
#     editor of a 1280x1000 window, before and after the Web page was shown once
#   - idle: CPU time of the program over IDLE_S seconds, the window focused, the caret blinking,
#     before and after the Web page was shown once
# Each figure is given as median and worst, for this build and, measured in the same run and
# alternating with it, for a baseline program.
#
#   bench/real_window.sh [BASELINE]
# BASELINE is another build of the program, e.g. of main's commit in a worktree of its own:
#   git worktree add ../base COMMIT && cmake -S ../base -B ../base/build-rel -DCMAKE_BUILD_TYPE=Release \
#     -DKESTRIM_TESTS=OFF && cmake --build ../base/build-rel --target kestrim
#   bench/real_window.sh ../base/build-rel/bin/kestrim
# This build is the Release build in build-bench (built here). Installs Xvfb, xdotool and the X
# headers of the probe when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

STARTS=${STARTS:-7}
KEYS=${KEYS:-60}
IDLE_S=${IDLE_S:-10}
baseline=${1:-}

needed=(xvfb xdotool libx11-dev libxdamage-dev libxtst-dev)
missing=()
for package in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKESTRIM_BENCH=ON -DKESTRIM_TESTS=OFF > /dev/null
cmake --build build-bench --parallel "$(nproc 2>/dev/null || echo 2)" --target kestrim real_window_probe > /dev/null
probe=$PWD/build-bench/bin/real_window_probe
programs=("$PWD/build-bench/bin/kestrim")
names=("this build")
if [ -n "$baseline" ]; then
  programs=("$(realpath "$baseline")" "${programs[@]}")
  names=("baseline" "${names[@]}")
fi

work=$(mktemp -d)
server=""
program=""
cleanup() {
  [ -n "$program" ] && stop_program
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

. bench/virtual_display.sh

# Starts program $1 with a home of its own; sets pid, window, mapped, painted.
start_program() {
  local home=$work/home$2
  mkdir -p "$home"
  local line
  line=$(HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
         "$probe" launch "$1" 2>> "$work/program.log")
  program=$(sed 's/.*pid=\([0-9]*\).*/\1/' <<< "$line")
  window=$(sed 's/.*window=\([0-9]*\).*/\1/' <<< "$line")
  mapped=$(sed 's/.*mapped_ms=\([0-9.]*\).*/\1/' <<< "$line")
  painted=$(sed 's/.*painted_ms=\([0-9.]*\).*/\1/' <<< "$line")
}

# Ends the program's process group (the probe made it one): the program and its helpers.
stop_program() {
  kill -TERM -- "-$program" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  kill -KILL -- "-$program" 2>/dev/null || true
  program=""
}

# The resident memory of the program and its helpers, in MB.
tree_pids() {
  echo "$1"
  local child
  for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do tree_pids "$child"; done
}
tree_rss_mb() {
  local total=0 pid kb
  for pid in $(tree_pids "$program"); do
    kb=$(awk '/^VmRSS:/ {print $2}' /proc/"$pid"/status 2>/dev/null || echo 0)
    total=$((total + ${kb:-0}))
  done
  echo $((total / 1024))
}

# CPU time of the program over IDLE_S seconds, in ms a second.
idle_cpu() {
  local ticks hz before after
  hz=$(getconf CLK_TCK)
  before=$(awk '{print $14 + $15}' /proc/"$program"/stat)
  sleep "$IDLE_S"
  after=$(awk '{print $14 + $15}' /proc/"$program"/stat)
  ticks=$((after - before))
  awk -v t="$ticks" -v hz="$hz" -v s="$IDLE_S" 'BEGIN {printf "%.1f", t * 1000 / hz / s}'
}

# "median worst" of the numbers on standard input.
median_worst() {
  sort -g | awk '{v[NR] = $1} END {printf "%s %s", v[int((NR + 1) / 2)], v[NR]}'
}

main_window() {
  xdotool search --onlyvisible --pid "$program" --name Kestrim | head -1
}

type_keys() {
  local target
  target=$(main_window)
  xdotool windowsize --sync "$target" 1280 1000
  "$probe" keys "$target" "$KEYS" > "$work/keys$1"
}

echo "Starts ($STARTS each, alternating)..."
for round in $(seq "$STARTS"); do
  for i in "${!programs[@]}"; do
    start_program "${programs[$i]}" "$i"
    echo "$mapped" >> "$work/mapped$i"
    echo "$painted" >> "$work/painted$i"
    sleep 4
    tree_rss_mb >> "$work/memory$i"
    stop_program
  done
done

echo "Typing and idle CPU ($KEYS keys, ${IDLE_S} s idle, before and after the Web page was shown)..."
for i in "${!programs[@]}"; do
  start_program "${programs[$i]}" "$i"
  sleep 2
  type_keys "$i.fresh"
  idle_cpu > "$work/idle$i.fresh"
  xdotool key ctrl+4
  sleep 5 # the browser made and its first page drawn
  xdotool key ctrl+1
  sleep 1
  type_keys "$i.web"
  idle_cpu > "$work/idle$i.web"
  tree_rss_mb > "$work/memoryweb$i"
  stop_program
done

row() { # caption, file prefix, unit
  printf "%-44s" "$1"
  for i in "${!programs[@]}"; do
    printf "%-24s" "$(median_worst < "$work/$2$i" | awk -v u="$3" '{printf "%s / %s %s", $1, $2, u}')"
  done
  echo
}
row_after() { # caption, file prefix, suffix, unit
  printf "%-44s" "$1"
  for i in "${!programs[@]}"; do
    printf "%-24s" "$(median_worst < "$work/$2$i$3" | awk -v u="$4" '{printf "%s / %s %s", $1, $2, u}')"
  done
  echo
}

echo
printf "%-44s" "median / worst"
for name in "${names[@]}"; do printf "%-24s" "$name"; done
echo
row "start to window mapped" mapped ms
row "start to window drawn" painted ms
row "resident memory with helpers, after start" memory MB
row_after "key to repaint" keys .fresh ms
row_after "key to repaint, Web page shown once" keys .web ms
row_after "idle CPU, caret blinking" idle .fresh ms/s
row_after "idle CPU, Web page shown once" idle .web ms/s
row "resident memory, Web page shown once" memoryweb MB
