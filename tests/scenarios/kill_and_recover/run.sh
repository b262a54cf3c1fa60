#!/usr/bin/env bash
# A run killed with SIGKILL after SAVEs in three editors loses nothing: the next start offers
# it back, and after Yes its Create writes the very file an unbroken run writes.
#   run.sh REPLAY WORKSPACE [--qt]
set -u
replay=$1 workspace=$2 face=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/brantel-kill.XXXXXXXX)
trap 'rm -rf "$work"' EXIT
fail=0
export TZ=UTC
run() {  # run FOLDER SCRIPT...: the scripts played as one, in FOLDER
  local folder=$1; shift
  cat "$@" >"$folder/.script"
  (cd "$folder" && "$replay" $face .script >.out 2>&1) || { echo "$* failed in $folder:"; cat "$folder/.out"; fail=1; }
}
# kill_when WORDS SCRIPT...: plays the scripts as one in $ws and kills the run with SIGKILL once
# its journal holds WORDS.
kill_when() {
  local words=$1; shift
  cat "$@" >"$ws/.script"
  (cd "$ws" && exec "$replay" $face .script >.out 2>&1) &
  local victim=$!
  for _ in $(seq 1 1200); do
    grep -qs "$words" "$ws"/.brantel/*/journal.json && break
    sleep 0.1
  done
  grep -qs "$words" "$ws"/.brantel/*/journal.json || { echo "the run never journaled $words"; cat "$ws/.out"; fail=1; }
  kill -KILL "$victim" || { echo "the run had ended before the kill:"; cat "$ws/.out"; fail=1; }
  wait "$victim" 2>/dev/null
}

# Both runs in one folder, one after the other: the files name it.
ws=$work/ws
mkdir "$ws"
cp -r "$workspace/." "$ws/"
run "$ws" "$here/entered.replay" "$here/unbroken.replay"
mv "$ws/Dat/recovered.inc" "$work/unbroken.inc"
rm -rf "$ws" && mkdir "$ws" && cp -r "$workspace/." "$ws/"

# The killed run: everything entered, then SIGKILL once its journal names the loading file,
# the last thing it was given.
kill_when 'recovered.inc' "$here/entered.replay" "$here/killed.replay"

run "$ws" "$here/recover.replay"
grep -q '^message "Recover Message" "The program stopped on [0-9/]* at [0-9:]* with 2 cases entered (loading file .*/Dat/recovered.inc, not created since). Recover them?\\n\\"No\\" sets them aside in .brantel/abandoned for 7 days: brantel --recover [0-9]*-[A-Za-z0-9]* takes them back, brantel --recover-list lists the runs set aside."$' \
  "$ws/.out" || { echo "the question was not asked as it should be:"; cat "$ws/.out"; fail=1; }

# The loading files agree but for their date record, the last one.
if ! cmp <(head -n -1 "$work/unbroken.inc") <(head -n -1 "$ws/Dat/recovered.inc" 2>/dev/null); then
  diff <(head -n -1 "$work/unbroken.inc") <(head -n -1 "$ws/Dat/recovered.inc") | head -40
  echo "the recovered run's loading file differs from the unbroken run's"; fail=1
fi
# Taken back, the stopped run's folder is gone with the run that ended.
[ -e "$ws/.brantel" ] && { echo "a run folder was left behind:"; ls -R "$ws/.brantel"; fail=1; }

# A run killed after its Create: taken back, it may replace the file it wrote without the
# question meant for another program's file.
rm -rf "$ws" && mkdir "$ws" && cp -r "$workspace/." "$ws/"
kill_when '"written_ns"' "$here/entered.replay" "$here/created.replay"
run "$ws" "$here/recreate.replay"
grep -q 'created with them' "$ws/.out" || { echo "the question did not say the file was created:"; cat "$ws/.out"; fail=1; }
grep -q 'neither loaded nor created in this run' "$ws/.out" &&
  { echo "the run taken back did not know its own loading file:"; cat "$ws/.out"; fail=1; }
grep -q 'Created File' "$ws/.out" || { echo "the run taken back did not create its file:"; cat "$ws/.out"; fail=1; }

[ "$fail" = 0 ] && echo "the killed run was recovered whole"
exit "$fail"
