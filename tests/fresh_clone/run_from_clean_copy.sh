#!/usr/bin/env bash
# run_from_clean_copy.sh build SOURCE COPY: copies the source tree (the files git knows,
# without any build output) to COPY and runs scripts/run.sh there without a display: it must
# build the saver, then say that it needs a display and end with 1.
# run_from_clean_copy.sh start SOURCE COPY: runs the copy's scripts/run.sh on $DISPLAY and
# waits for the saver's window "Zephlora_Main"; then the package guard checks the run's build.
set -euo pipefail
step=$1 source_root=$2 copy=$3
run_pid=
log=$(mktemp)
cleanup() {
  [ -z "$run_pid" ] || kill "$run_pid" 2>/dev/null || true
  rm -f "$log"
}
trap cleanup EXIT

if [ "$step" = build ]; then
  rm -rf "$copy"
  mkdir -p "$copy/tree"
  (cd "$source_root" && git ls-files -z --cached --others --exclude-standard |
     while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
     tar --null -T - -cf -) | tar -xf - -C "$copy/tree"
  [ ! -e "$copy/tree/build" ] || { echo "the copy has a build folder" >&2; exit 1; }
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$copy/tree/scripts/run.sh" /s >"$log" 2>&1 || status=$?
  if [ $status -ne 1 ] || ! grep -q 'Built target zephlora$' "$log" || ! grep -q 'No DISPLAY' "$log"; then
    echo "scripts/run.sh without a display ended with $status and said:" >&2
    tail -40 "$log" >&2
    exit 1
  fi
  echo "scripts/run.sh built the saver in a clean copy and asked for a display"
  exit 0
fi

[ -n "${DISPLAY:-}" ] || { echo "needs DISPLAY" >&2; exit 1; }
[ -x "$copy/tree/build/run/zephlora" ] || { echo "the clean copy was not built" >&2; exit 1; }
"$copy/tree/scripts/run.sh" /s >"$log" 2>&1 &
run_pid=$!
# The build is done: the window must follow within a minute (a message box instead, "pack
# not found" say, keeps the process alive without one).
window=
for _ in $(seq 120); do
  window=$(xdotool search --name '^Zephlora_Main$' 2>/dev/null | head -1 || true)
  [ -z "$window" ] || break
  kill -0 "$run_pid" 2>/dev/null || break
  sleep 0.5
done
if [ -z "$window" ]; then
  echo "no window Zephlora_Main; scripts/run.sh said:" >&2
  tail -40 "$log" >&2
  exit 1
fi
echo "scripts/run.sh showed Zephlora_Main (window $window)"
kill "$run_pid"
wait "$run_pid" 2>/dev/null || true
run_pid=

"$source_root/scripts/check-packages.py" --run-only "$copy/tree/build/run"
