#!/usr/bin/env bash
# An expectation that does not hold stops the replay with the same words in both faces: each
# script below fails at its last line, and the error must read exactly as written after it.
#   run.sh REPLAY WORKSPACE [--qt]
set -u
replay=$1 workspace=$2 face=${3:-}
fail=0
# check "SCRIPT" "ERROR": SCRIPT played in a fresh copy of the workspace stops with ERROR, exit 1.
check() {
  local work
  work=$(mktemp -d /tmp/brantel-faults.XXXXXXXX)
  cp -r "$workspace/." "$work/"
  printf '%s' "$1" >"$work/.script"
  (cd "$work" && "$replay" $face .script >.out 2>.err)
  local rc=$?
  local got
  got=$(grep "^error: " "$work/.err")
  if [ "$rc" != 1 ] || [ "$got" != "$2" ]; then
    printf 'script:\n%s\nexpected exit 1 and: %s\ngot exit %s and: %s\n' "$1" "$2" "$rc" "$got"
    fail=1
  fi
  rm -rf "$work"
}
# The first window is the prompt for the maximum of time points, offering 100.
check $'in 108\nexpect text 1103 "99"\n' 'error: line 2: control 1103: expected "99", found "100"'
check $'in 108\nexpect items 1103 2\n' 'error: line 2: control 1103: expected 2 items, found 0'
check $'in 108\nexpect selected 1103 3\n' 'error: line 2: control 1103: expected selection 3, found 0'
check $'in 108\nexpect disabled 1103\n' 'error: line 2: control 1103: expected disabled, found enabled'
check $'in 108\nexpect curves 1103 1\n' 'error: line 2: control 1103: expected 1 curves, found 0'
check $'in 108\nexpect focus 1\n' 'error: line 2: expected the focus on control 1, found it on 1103'
check $'in 108\nexpect message "T" "x"\n' 'error: line 2: expected message "T" "x", none shown'
check $'in 108\nexpect text 4242 "x"\n' 'error: line 2: no control 4242 in dialog 108'
[ "$fail" = 0 ] && echo "every fault read as expected"
exit "$fail"
