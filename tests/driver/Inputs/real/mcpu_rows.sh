#!/bin/sh
# Assembles an empty file once for every row of the driver's CPU table, so
# that each row's rewriting (-march=... for the assembler) meets the real
# assembler.  Prints "ROW: accepted", or "ROW: " and the assembler's error.
#
# usage: mcpu_rows.sh DRIVER CPU_TABLE_SOURCE
driver=$1
table=$2
: > empty.s
for row in $(sed -n 's/^ *{"\([a-z0-9.-]*\)", "armv.*/\1/p' "$table"); do
  if message=$("$driver" -c -mcpu="$row" empty.s -o empty.o 2>&1); then
    echo "$row: accepted"
  else
    echo "$row: $(printf '%s\n' "$message" | grep -m 1 'Error: ' || printf '%s\n' "$message" | head -n 1)"
  fi
done
