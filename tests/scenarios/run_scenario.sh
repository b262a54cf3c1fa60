#!/usr/bin/env bash
# Runs one end-to-end scenario: brantel-replay in a fresh copy of the example workspace.
#   scenario folder:  script.replay     the user's actions
#                     setup/            files laid over the workspace copy before the run
#                     expected/         files that must exist afterwards, byte for byte; the
#                                       run's case files at its end are under .case_files/
#                                       (a loading file's date record is compared by its layout)
#                     transcript        the replay's standard output, exactly
#                     absent            paths (one a line) that must not exist afterwards
#                     exit_code         the replay's exit code when it is not 0
#                     not_on_qt         why the scenario cannot run on the Qt dialogs (skipped there)
# In the transcript and the files compared, the working folder's path reads @WORKSPACE@.
# A fourth argument, --qt, runs the scenario on the real Qt dialogs.
set -u
replay=$1 scenario=$2 workspace=$3 face=${4:-}
if [ "$face" = --qt ] && [ -f "$scenario/not_on_qt" ]; then
  echo "not run on Qt: $(cat "$scenario/not_on_qt")"; exit 77
fi
# A name of fixed length, so that records cut at a column (long paths in a loading file's
# header) are cut at the same place in every run.
work=$(mktemp -d /tmp/brantel-scenario.XXXXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$workspace/." "$work/"
[ -d "$scenario/setup" ] && cp -r "$scenario/setup/." "$work/"
# Folders of runs are the user's alone, as a run makes them, whatever the umask of the checkout.
[ -d "$work/.brantel" ] && chmod -R go-w "$work/.brantel"

cd "$work" || exit 1
# The run's case files live in a private folder removed at exit; a copy of them as they stand
# at the end goes to .case_files/ of the workspace, where expected/.case_files/ is compared.
export BRANTEL_KEEP_CASE_FILES="$work/.case_files"
# Times in messages (a stopped run's) read the same on every machine.
export TZ=UTC
"$replay" $face "$scenario/script.replay" >"$work/.transcript" 2>"$work/.stderr"
rc=$?
# The produced files as compared: the working folder's path replaced by @WORKSPACE@.
comparable() { sed "s|$work|@WORKSPACE@|g" "$1"; }
fail=0
want_rc=0
[ -f "$scenario/exit_code" ] && want_rc=$(tr -d '[:space:]' <"$scenario/exit_code")
if [ "$rc" != "$want_rc" ]; then
  echo "exit code $rc, expected $want_rc"; cat "$work/.stderr"; fail=1
fi
if [ -f "$scenario/transcript" ] && ! diff -u "$scenario/transcript" <(comparable "$work/.transcript"); then
  echo "transcript differs"; fail=1
fi

date_layout=$'^[0-9][0-9]/[0-9][0-9]/[0-9][0-9][0-9][0-9]   [0-9][0-9]:[0-9][0-9]:[0-9][0-9]\r?$'
if [ -d "$scenario/expected" ]; then
  while IFS= read -r -d '' want; do
    rel=${want#"$scenario/expected/"}
    got="$work/$rel"
    if [ ! -f "$got" ]; then echo "missing: $rel"; fail=1; continue; fi
    if [[ "$rel" == *.inc ]] && tail -n 1 "$want" | tr -d '\r' | grep -Eq "$date_layout"; then
      # The last record of a loading file is the date of writing: same layout, any value.
      if ! tail -n 1 "$got" | tr -d '\r' | grep -Eq "$date_layout"; then echo "$rel: last record is not a date record"; fail=1; fi
      if ! cmp -s <(head -n -1 "$want") <(comparable "$got" | head -n -1); then
        diff -u <(head -n -1 "$want") <(comparable "$got" | head -n -1) | cat -A | head -n 60
        echo "$rel differs"; fail=1
      fi
    else
      cmp -s "$want" <(comparable "$got") || { diff -u "$want" <(comparable "$got") | cat -A | head -n 60; echo "$rel differs"; fail=1; }
    fi
  done < <(find "$scenario/expected" -type f -print0)
fi
if [ -f "$scenario/absent" ]; then
  while IFS= read -r rel; do
    [ -z "$rel" ] && continue
    [ -e "$work/$rel" ] && { echo "should not exist: $rel"; fail=1; }
  done <"$scenario/absent"
fi
[ "$fail" = 0 ] && echo "scenario passed"
exit "$fail"
