#!/bin/sh
# Decoding cost of a command line of 2,000 and of 20,000 options, and their
# ratio (about 10 when decoding is linear).  Best of five runs each.
#   bench/options_decode.sh [BUILD_DIR]
set -eu
build=${1:-build}
bench="$build/bench/options_decode_bench"
if [ ! -x "$bench" ]; then
  echo "build $bench first: cmake --build $build --target options_decode_bench" >&2
  exit 1
fi
best() {
  for _ in 1 2 3 4 5; do "$bench" "$1"; done | sort -g | head -n 1
}
small=$(best 2000)
large=$(best 20000)
echo "2000 options:  ${small}s"
echo "20000 options: ${large}s"
awk -v a="$small" -v b="$large" 'BEGIN { printf "ratio: %.2f\n", b / a }'
