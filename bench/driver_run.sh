#!/bin/sh
# What the driver costs on its own:
#   1. instructions (valgrind's callgrind, dynamic loading included) and
#      peak resident memory (/usr/bin/time -v) of `vorn-cxx -### -c a.cc`;
#   2. `-### -c` over 1,000 and 10,000 inputs, and an argument file of
#      10,000 and 100,000 words, with the time ratios (about 10 when the
#      work is linear);
#   3. a full compile-and-link of examples/hello.cc through the stand-in
#      toolchain against running the same child commands from a script,
#      and the driver's overhead in per cent of the script's time.
# Prints numbers, never a verdict.
#   bench/driver_run.sh [BUILD_DIR]
set -eu
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
driver="$build/stage/bin/vorn-cxx"
if [ ! -x "$driver" ]; then
  echo "build the driver and the stand-ins first: cmake --build $build" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
echo 'int main() { return 0; }' > a.cc

# Seconds taken by N runs of a command, measured around the whole loop.
time_runs() {
  count=$1
  shift
  start=$(date +%s.%N)
  i=0
  while [ "$i" -lt "$count" ]; do
    "$@" > /dev/null 2>&1 || true
    i=$((i + 1))
  done
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f\n", e - s }'
}

# The best of five measurements of N runs.
best_of_five() {
  for _ in 1 2 3 4 5; do time_runs "$@"; done | sort -g | head -n 1
}

ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'
}

echo "== vorn-cxx -### -c a.cc =="
if command -v valgrind > /dev/null; then
  instructions=$(valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
    "$driver" -### -c a.cc 2>&1 | sed -n 's/.*Collected : *\([0-9]*\).*/\1/p')
  echo "instructions: $instructions"
else
  echo "instructions: (valgrind is not installed)"
fi
if [ -x /usr/bin/time ]; then
  rss=$(/usr/bin/time -v "$driver" -### -c a.cc 2>&1 |
    sed -n 's/.*Maximum resident set size (kbytes): *//p')
  echo "peak resident memory: $rss KiB"
else
  echo "peak resident memory: (/usr/bin/time is not installed)"
fi

echo
echo "== -### -c over many inputs =="
awk 'BEGIN { for (i = 0; i < 1000; ++i) print "in" i ".cc" }' > inputs-1000
awk 'BEGIN { for (i = 0; i < 10000; ++i) print "in" i ".cc" }' > inputs-10000
small=$(best_of_five 3 "$driver" -### -c $(cat inputs-1000))
large=$(best_of_five 3 "$driver" -### -c $(cat inputs-10000))
echo "1000 inputs:  ${small}s for 3 runs"
echo "10000 inputs: ${large}s for 3 runs"
echo "ratio: $(ratio "$small" "$large")"

echo
echo "== argument files =="
awk 'BEGIN { for (i = 0; i < 10000; ++i) print "-DNAME" i "=" i }' > words-10000
awk 'BEGIN { for (i = 0; i < 100000; ++i) print "-DNAME" i "=" i }' > words-100000
small=$(best_of_five 3 "$driver" -### -c a.cc @words-10000)
large=$(best_of_five 3 "$driver" -### -c a.cc @words-100000)
echo "10000 words:  ${small}s for 3 runs"
echo "100000 words: ${large}s for 3 runs"
echo "ratio: $(ratio "$small" "$large")"

echo
echo "== compile and link examples/hello.cc through the stand-ins =="
cp "$root/examples/hello.cc" hello.cc
# -### prints every command in a form the shell reads back; the script
# runs exactly those, one after the other, as the driver would.
# Its temporary names land in the scratch directory, which goes at the end.
mkdir -p tmp
TMPDIR=$work/tmp
export TMPDIR
"$driver" -### -o hello hello.cc 2>&1 | grep '^ ' > commands
{
  echo 'set -e'
  cat commands
} > direct.sh
# Rounds alternate between the two, so that a busy moment of the machine
# does not fall on one side only; the best round of each counts.
runs=20
driven=
direct=
for _ in 1 2 3 4 5 6 7; do
  driven="$driven $(time_runs "$runs" "$driver" -o hello hello.cc)"
  direct="$direct $(time_runs "$runs" sh direct.sh)"
done
driven=$(printf '%s\n' $driven | sort -g | head -n 1)
direct=$(printf '%s\n' $direct | sort -g | head -n 1)
echo "commands per run: $(wc -l < commands)"
echo "driver: ${driven}s for $runs runs"
echo "script: ${direct}s for $runs runs"
awk -v d="$driven" -v s="$direct" \
  'BEGIN { printf "driver overhead: %.1f%% of the script time\n", (d - s) * 100 / s }'
