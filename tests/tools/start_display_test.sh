#!/bin/bash
# start_display called by several runs at the same moment: each gets a display
# of its own, served by its own Xvfb.
set -u
source "$(dirname "$0")/../../tools/common.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for run in 1 2 3 4; do
    ( start_display && echo "$DISPLAY $XVFB_PID" > "$scratch/$run" && sleep 2; stop_started ) &
done
wait
displays=$(cut -d' ' -f1 "$scratch"/* | sort -u | wc -l)
echo "$(cat "$scratch"/* | tr '\n' ' ')"
[ "$(ls "$scratch" | wc -l)" -eq 4 ] && [ "$displays" -eq 4 ] || { echo "FAILED: four runs, $displays displays"; exit 1; }
echo "four runs, four displays"
