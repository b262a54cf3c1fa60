#!/usr/bin/env bash
# Runs of the program in one workspace must never see each other's case files:
#   sequence   a run that wrote its loading file in another folder, then a run that opens no
#              editor: the second file holds none of the first run's data;
#   together   run A enters its data and waits; run B enters other data for the same case and
#              creates its file; then A creates its own: each file holds its own run's data.
#   run.sh REPLAY WORKSPACE sequence|together
set -u
replay=$1 workspace=$2 mode=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/brantel-runs.XXXXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$workspace/." "$work/"
mkdir -p "$work/other"
cd "$work" || exit 1
fail=0
# The initial conditions record of each run's case 1, as the loading file copies it.
record_a=' 1   5  0.25 '
record_b=' 1   5  0.5 '
holds() { grep -qF -- "$2" "$1" || { echo "$1 lacks the record '$2'"; fail=1; }; }
lacks() { ! grep -qF -- "$2" "$1" || { echo "$1 holds the other run's record '$2'"; fail=1; }; }
run() { "$replay" "$here/$1" >"$work/$1.out" 2>&1 || { echo "$1 failed:"; cat "$work/$1.out"; fail=1; }; }

case $mode in
  sequence)
    run first.replay
    holds other/first.inc "$record_a"
    run second.replay
    lacks Dat/second.inc "$record_a"
    lacks Dat/second.inc ' 2   3  7.5 '
    ;;
  together)
    "$replay" "$here/a.replay" >"$work/a.out" 2>&1 &
    a=$!
    # A has saved its initial values when its case folder holds them.
    for _ in $(seq 1 600); do
      compgen -G ".brantel/*/1InitLoad.dat" >/dev/null && break
      sleep 0.1
    done
    compgen -G ".brantel/*/1InitLoad.dat" >/dev/null || { echo "run A never saved its data"; fail=1; }
    run b.replay
    touch go
    wait "$a" || { echo "a.replay failed:"; cat "$work/a.out"; fail=1; }
    holds Dat/a.inc "$record_a"
    lacks Dat/a.inc "$record_b"
    holds Dat/b.inc "$record_b"
    lacks Dat/b.inc "$record_a"
    ;;
esac
[ -e .brantel ] && { echo "a run's case folder was left behind"; ls -R .brantel; fail=1; }
[ "$fail" = 0 ] && echo "runs kept their own case files"
exit "$fail"
