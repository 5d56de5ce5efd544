#!/usr/bin/env bash
# Frames per second and CPU time per frame of the live saver, on the X display in $DISPLAY.
# Needs a measurement build (cmake -DZEPHLORA_COUNT_FRAMES=ON), whose saver writes
# "frames N in M ms" to standard error when it ends.
#   tests/blackbox/measure_live.sh linux build/linux/zephlora SLEEP SECONDS
#   tests/blackbox/measure_live.sh wine  build/win32/Zephlora.scr SLEEP SECONDS
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
kind=$1 program=$2 sleep_ms=$3 seconds=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/"
cp "$root/assets/Zephlora.zpk" "$work/"
printf '[Section]\r\nSleep=%s\r\n' "$sleep_ms" > "$work/Zephlora.ini"
name=$(basename "$program")
if [ "$kind" = wine ]; then
  "$root/scripts/wine-run.sh" "$work/$name" /s 2> "$work/err" >/dev/null &
else
  "$work/$name" /s 2> "$work/err" >/dev/null &
fi
starter=$!
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The X server of this display (other servers may run beside it).
xvfb=$(pgrep -f "^Xvfb ${DISPLAY}( |\$)" | head -1)
for _ in $(seq 200); do xdotool search --name Zephlora_Main >/dev/null 2>&1 && break; sleep 0.1; done
# Under Wine the saver is the process whose command line names this run's own folder.
if [ "$kind" = wine ]; then pid=$(pgrep -n -f "$(basename "$work").*Zephlora.scr /s" || echo $starter); else pid=$starter; fi
# The saver's CPU is taken over the same stretch as the X server's, after a second in which
# the start-up (pictures, members) is done, so that it is the frame loop's alone.
sleep 1
s0=$(ticks "$pid") x0=$(ticks "$xvfb")
sleep "$seconds"
s1=$(ticks "$pid") x1=$(ticks "$xvfb")
xdotool mousemove 10 10 key Escape
wait $starter || true
hz=$(getconf CLK_TCK)
line=$(grep -a "^frames" "$work/err" | tail -1)
frames=$(echo "$line" | awk '{print $2}') ms=$(echo "$line" | awk '{print $4}')
awk -v f="$frames" -v ms="$ms" -v sd=$((s1 - s0)) -v hz="$hz" -v xd=$((x1 - x0)) -v s="$seconds" -v k="$kind" -v sl="$sleep_ms" 'BEGIN {
  fps = f / (ms / 1000.0); saver = sd / hz / s;
  printf "%-5s Sleep %s: %.1f fps; saver CPU %.1f%% of a core, %.2f ms/frame; X server CPU %.1f%% of a core\n",
         k, sl, fps, 100.0 * saver, 1000.0 * saver / fps, 100.0 * xd / hz / s }'
