#!/usr/bin/env bash
# Copies the source tree (the files git knows, without any build output) to a scratch folder,
# runs scripts/run.sh there on $DISPLAY and waits for the saver's window "Zephlora_Main".
set -euo pipefail
source_root=$1
[ -n "${DISPLAY:-}" ] || { echo "needs DISPLAY" >&2; exit 1; }
scratch=$(mktemp -d)
run_pid=
cleanup() {
  [ -z "$run_pid" ] || kill "$run_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

(cd "$source_root" && git ls-files -z --cached --others --exclude-standard |
   while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
   tar --null -T - -cf -) | (mkdir "$scratch/tree" && tar -xf - -C "$scratch/tree")
[ ! -e "$scratch/tree/build" ] || { echo "the copy has a build folder" >&2; exit 1; }

"$scratch/tree/scripts/run.sh" /s >"$scratch/run.log" 2>&1 &
run_pid=$!
# The build may take minutes; once it is done the window must follow within a minute (a
# message box instead, "pack not found" say, keeps the process alive without one).
window=
built_at=
for _ in $(seq 1700); do
  window=$(xdotool search --name '^Zephlora_Main$' 2>/dev/null | head -1 || true)
  [ -z "$window" ] || break
  kill -0 "$run_pid" 2>/dev/null || break
  if [ -z "$built_at" ] && grep -q 'Built target zephlora$' "$scratch/run.log"; then
    built_at=$SECONDS
  fi
  [ -z "$built_at" ] || [ $((SECONDS - built_at)) -lt 60 ] || break
  sleep 0.5
done
if [ -z "$window" ]; then
  echo "no window Zephlora_Main; scripts/run.sh said:" >&2
  tail -40 "$scratch/run.log" >&2
  exit 1
fi
echo "scripts/run.sh showed Zephlora_Main (window $window)"
kill "$run_pid"
wait "$run_pid" 2>/dev/null || true
run_pid=

"$source_root/scripts/check-packages.py" --run-only "$scratch/tree/build/run"
