#!/bin/sh
# Builds, lists and indexes a small archive through the staged archive-tool
# wrappers and the stand-in toolchain, then shows what every tool was run
# with, as the stand-ins recorded it.
#
# Usage: demo.sh STAGE_DIR TARGET_MACHINE EXAMPLES_DIR SCRATCH_DIR
set -eu

stage=$1
machine=$2
examples=$3
scratch=$4

rm -rf "$scratch"
mkdir -p "$scratch"
cd "$scratch"

# The wrappers are found by name, as a user would run them; each finds its
# installation from where it really is.
PATH=$stage/bin:$PATH
STANDIN_LOG=$scratch/record.log
export PATH STANDIN_LOG

run() {
  echo "\$ $*"
  "$@"
}

run "$stage/$machine/bin/as" -o greet.o "$examples/objects/greet.s"
run "$stage/$machine/bin/as" -o farewell.o "$examples/objects/farewell.s"
run vorn-ar rcs libdemo.a greet.o farewell.o
run vorn-ar t libdemo.a
run vorn-nm libdemo.a greet.o
run vorn-ranlib libdemo.a

echo
echo "== libdemo.a =="
cat libdemo.a
echo
echo "== what ran (the stand-ins' record, $STANDIN_LOG) =="
cat "$STANDIN_LOG"
