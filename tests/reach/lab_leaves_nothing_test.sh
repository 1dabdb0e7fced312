#!/usr/bin/env bash
# The network lab leaves no daemon behind, however its command ends: done, killed, or the lab
# itself stopped or killed from outside (as a test's timeout does). Each run notes the lab's
# process namespace and its router's network namespace; afterwards no process on this machine
# may be in either, and no miniupnpd of the lab may be running.
set -uo pipefail
lab="$(dirname "$0")/network_lab.sh"
notes=$(mktemp -d) || exit 1
trap 'rm -rf "$notes"' EXIT
failures=0

# Inside the lab: where it is, for the check outside; then the case's own ending.
record='readlink /proc/self/ns/pid > "$NOTES/pid"; readlink "/proc/$VREL_LAB_ROUTER_NS/ns/net" > "$NOTES/router"'

leftovers() {
  local pidns routerns p
  pidns=$(cat "$notes/pid" 2>/dev/null)
  routerns=$(cat "$notes/router" 2>/dev/null)
  [ -n "$pidns" ] && [ -n "$routerns" ] || { echo "the lab did not run"; return 0; }
  find /proc -mindepth 3 -maxdepth 3 -path '/proc/[0-9]*/ns/pid' -lname "$pidns" 2>/dev/null \
    | while read -r p; do p=${p#/proc/}; p=${p%%/*}; echo "$p $(cat "/proc/$p/comm" 2>/dev/null)"; done
  for p in $(pgrep -x miniupnpd); do
    [ "$(readlink "/proc/$p/ns/net" 2>/dev/null)" = "$routerns" ] && echo "$p miniupnpd"
  done
}

check() {
  local case="$1" left=""
  # A killed process is gone a moment after its signal.
  for _ in $(seq 30); do
    left=$(leftovers)
    [ -z "$left" ] && break
    sleep 0.1
  done
  if [ -n "$left" ]; then
    echo "FAIL ($case): left behind: $left"
    failures=$((failures + 1))
  else
    echo "ok ($case)"
  fi
  rm -f "$notes/pid" "$notes/router"
}

export NOTES="$notes"
bash "$lab" bash -c "$record"
check "the command ends"
bash "$lab" bash -c "$record; kill -KILL \$\$"
check "the command is killed"
for signal in TERM KILL; do
  bash "$lab" bash -c "$record; sleep 60" &
  running=$!
  for _ in $(seq 100); do [ -s "$notes/router" ] && break; sleep 0.1; done
  kill -$signal $running
  wait $running
  check "the lab is sent SIG$signal from outside"
done
[ $failures -eq 0 ]
