#!/bin/sh
# Instructions (valgrind's callgrind) of the requests that build the option
# suggestion list, next to those of `vorn-cxx -### -c a.cc`:
#   - vorn-cxx with an unknown option (one "did you mean" search);
#   - vorn-cxx --completion=-f;
#   - the same two requests made by bench/suggestions_bench alone, less the
#     cost of starting that program (it loads the C++ runtime dynamically,
#     the driver does not), so the suggestion work itself is shown.
# The list is built once per run; each request should stay within about
# three times the plain run.  Prints numbers, never a verdict.
#   bench/suggestions.sh [BUILD_DIR]
set -eu
build=$(cd "${1:-build}" && pwd)
driver="$build/stage/bin/vorn-cxx"
bench="$build/bench/suggestions_bench"
for program in "$driver" "$bench"; do
  if [ ! -x "$program" ]; then
    echo "build $program first: cmake --build $build" >&2
    exit 1
  fi
done
if ! command -v valgrind > /dev/null; then
  echo "valgrind is not installed" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
echo 'int main() { return 0; }' > a.cc

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}

base=$(instructions "$driver" -### -c a.cc)
unknown=$(instructions "$driver" -### -c -Wunused-paramter a.cc)
complete=$(instructions "$driver" --completion=-f)
bench_suggest=$(instructions "$bench" suggest Wunused-paramter)
bench_complete=$(instructions "$bench" complete -f)
bench_start=$(instructions "$bench" complete "")

row() {
  awk -v name="$1" -v n="$2" -v b="$base" 'BEGIN { printf "%-42s %12d %8.2f\n", name, n, n / b }'
}
printf "%-42s %12s %8s\n" "run" "instructions" "ratio"
row "vorn-cxx -### -c a.cc" "$base"
row "vorn-cxx -### -c -Wunused-paramter a.cc" "$unknown"
row "vorn-cxx --completion=-f" "$complete"
row "list + search for -Wunused-paramter" $((bench_suggest - bench_start))
row "list + completions of -f" $((bench_complete - bench_start))
