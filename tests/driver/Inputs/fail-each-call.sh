#!/bin/sh
# Runs the driver command COMMAND... again and again, failing one call of the
# C-library function family FAMILY in each run (the fault library LIBRARY):
# call FIRST, then every STEP-th after it, until a run makes fewer calls
# (with STEP 0, call FIRST only).
# After each run prints "status=S" and what the run wrote to standard error,
# then one line "left: NAME" for each file left in TMPDIR (emptied again for
# the next run).
#   fail-each-call.sh LIBRARY FAMILY FIRST STEP TMPDIR COMMAND...
library=$1 family=$2 call=$3 step=$4 tmp=$5
shift 5
log=$tmp.fault-log
while :; do
  rm -f "$log"
  env LD_PRELOAD="$library" VORN_FAULT_PROGRAM=vorn-cxx VORN_FAULT_FUNCTION="$family" \
    VORN_FAULT_NTH="$call" VORN_FAULT_LOG="$log" TMPDIR="$tmp" "$@" 2>&1 > /dev/null
  echo "status=$?"
  for file in "$tmp"/* "$tmp"/.[!.]*; do
    [ -e "$file" ] || continue
    echo "left: ${file##*/}"
    rm -rf "$file"
  done
  [ -s "$log" ] && [ "$step" -gt 0 ] || break
  call=$((call + step))
done
rm -f "$log"
