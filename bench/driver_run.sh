#!/bin/sh
# What the driver costs on its own, as one table with the previous
# baseline beside each figure:
#   - instructions (valgrind's callgrind, whole process, dynamic loading
#     included) of `-### -c a.cc`, `-### a.cc` (compile and link),
#     `--version`, an unknown option with a hint and `--completion=-f`;
#   - peak resident memory (/usr/bin/time -v) of `-### -c a.cc`;
#   - `-### -c` over 1,000 and 10,000 inputs, and an argument file of
#     10,000 and 100,000 words: the time ratios (about 10 when the work is
#     linear);
#   - the dynamic relocations of vorn-cxx (readelf -r);
# then a full compile-and-link of examples/hello.cc through the stand-in
# toolchain against running the same child commands from a script, and the
# driver's overhead in per cent of the script's time.
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

# The median of a list of measurements.
median() {
  printf '%s\n' "$@" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'
}

# Instructions of one run, in millions.
instructions() {
  if ! command -v valgrind > /dev/null; then
    echo "-"
    return
  fi
  valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' |
    awk '{ printf "%.2f M", $1 / 1000000 }'
}

# One line of the table: the figure, its value, the previous baseline.
row() {
  printf "%-52s %14s %14s\n" "$1" "$2" "$3"
}

awk 'BEGIN { for (i = 0; i < 1000; ++i) print "in" i ".cc" }' > inputs-1000
awk 'BEGIN { for (i = 0; i < 10000; ++i) print "in" i ".cc" }' > inputs-10000
awk 'BEGIN { for (i = 0; i < 10000; ++i) print "-DNAME" i "=" i }' > words-10000
awk 'BEGIN { for (i = 0; i < 100000; ++i) print "-DNAME" i "=" i }' > words-100000

# Each ratio from nine rounds of three runs on either side, the two sides
# taking turns, and the median round of each.  On a shared machine the
# speed drifts over seconds: with one side's rounds all before the other's,
# or with the fastest round of each, a drift falls on one side only and
# moves the ratio by a tenth or more.
scaling_ratio() {
  small=
  large=
  for _ in 1 2 3 4 5 6 7 8 9; do
    small="$small $(time_runs 3 "$driver" -### -c $1)"
    large="$large $(time_runs 3 "$driver" -### -c $2)"
  done
  ratio "$(median $small)" "$(median $large)"
}
inputs_ratio() {
  scaling_ratio "$(cat inputs-1000)" "$(cat inputs-10000)"
}
words_ratio() {
  scaling_ratio "a.cc @words-10000" "a.cc @words-100000"
}

if [ -x /usr/bin/time ]; then
  rss=$(/usr/bin/time -v "$driver" -### -c a.cc 2>&1 >/dev/null |
    sed -n 's/.*Maximum resident set size (kbytes): *//p' |
    awk '{ printf "%.1f MiB", $1 / 1024 }')
else
  rss="-"
fi
if command -v readelf > /dev/null; then
  relocations=$(readelf -r "$driver" | grep -c ' R_' || true)
else
  relocations="-"
fi

# The baseline is what the driver cost before its start-up was reworked
# (a relocated option table, built-in specs scanned on every run, the
# suggestion list built on demand).
row "figure" "now" "baseline"
row "vorn-cxx -### -c a.cc, instructions" "$(instructions "$driver" -### -c a.cc)" "1.00 M"
row "vorn-cxx -### a.cc (compile and link), instructions" \
  "$(instructions "$driver" -### a.cc)" "1.60 M"
row "vorn-cxx --version, instructions" "$(instructions "$driver" --version)" "0.70 M"
row "peak resident memory, -### -c a.cc" "$rss" "2.6 MiB"
row "10,000 vs 1,000 inputs, time ratio" "$(inputs_ratio)" "8.3-10.9"
row "10,000 vs 1,000 inputs, time ratio (again)" "$(inputs_ratio)" "8.3-10.9"
row "100,000 vs 10,000 @file words, time ratio" "$(words_ratio)" "9.1-9.5"
row "unknown option with a hint (-fbogus-thing), instructions" \
  "$(instructions "$driver" -### -c a.cc -fbogus-thing)" "4.58 M"
row "--completion=-f, instructions" "$(instructions "$driver" --completion=-f)" "2.21 M"
row "dynamic relocations of vorn-cxx" "$relocations" "4143"
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
