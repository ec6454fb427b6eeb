#!/usr/bin/env bash
# Prints one sorted line per run in a stand-in record (STANDIN_LOG), naming
# what the run made: the source a compiler proper compiled, the -o file of
# the assembler and the linker, and the arguments of ar and ranlib after the
# plug-in.  Build tools run steps in an order of their own; sorted, the runs
# of a build can be compared with what it had to do.
set -euo pipefail
sed -n 's/^\([a-z0-9]*\): run \(.*\)$/\1 \2/p' "$1" | awk '
  $1 ~ /^c.*fe1$/ {
    for (i = 2; i <= NF; i++)
      if ($i ~ /\.(c|cc|cpp|cxx)$/ && $(i - 1) !~ /^-(dumpbase|dumpbase-ext|MF|MT|MQ)$/) break
    n = split($i, p, "/"); print $1, p[n]; next
  }
  $1 == "ar" || $1 == "ranlib" { line = $1; for (i = 4; i <= NF; i++) line = line " " $i; print line; next }
  { out = "?"; for (i = 2; i < NF; i++) if ($i == "-o") out = $(i + 1); print $1, out }
' | LC_ALL=C sort
