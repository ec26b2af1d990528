# Sourced by the window scripts: starts a virtual display for the program under test, its
# server's pid in $server, DISPLAY set to it. $work: a folder of the caller's that goes at its end.
# The server picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$work/display" 2> /dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
