#!/bin/sh
# Runs a command on a private virtual 1920 x 1080 screen, like
# xvfb-run -a -s "-screen 0 1920x1080x24", but race-free: Xvfb chooses a free
# display itself (-displayfd), so test programs started in parallel never
# claim the same one. -noreset keeps the server up between two windows of
# one test, which would otherwise find it restarting when the first closes.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
server=$!
tries=0
while ! grep -q '^[0-9]' "$dir/display" 2>/dev/null; do
  tries=$((tries + 1))
  if [ "$tries" -gt 200 ] || ! kill -0 "$server" 2>/dev/null; then
    echo "Xvfb n'a pas démarré :" >&2
    cat "$dir/xvfb.log" >&2
    kill "$server" 2>/dev/null
    exit 1
  fi
  sleep 0.05
done
DISPLAY=":$(head -n 1 "$dir/display")" "$@" </dev/null
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
