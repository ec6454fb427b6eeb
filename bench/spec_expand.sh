#!/bin/sh
# Spec expansion over 2,000 and 20,000 switches (a print group and
# conditions) and over 2,000 and 20,000 combined inputs ("%i"), and the
# ratios (about 10 when expansion is linear).  Best of seven runs each.
#   bench/spec_expand.sh [BUILD_DIR]
set -eu
build=${1:-build}
bench="$build/bench/spec_expand_bench"
if [ ! -x "$bench" ]; then
  echo "build $bench first: cmake --build $build --target spec_expand_bench" >&2
  exit 1
fi
best() {
  for _ in 1 2 3 4 5 6 7; do "$bench" "$1" "$2"; done | sort -g | head -n 1
}
for kind in switches inputs; do
  small=$(best "$kind" 2000)
  large=$(best "$kind" 20000)
  echo "2000 $kind:  ${small}s"
  echo "20000 $kind: ${large}s"
  awk -v a="$small" -v b="$large" -v k="$kind" 'BEGIN { printf "%s ratio: %.2f\n", k, b / a }'
done
