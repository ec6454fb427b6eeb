#!/bin/sh
# Compiles and links examples/hello.cc with the staged driver, then builds,
# lists and indexes a small archive through the staged archive-tool
# wrappers, all against the stand-in toolchain, and shows what every tool
# was run with, as the stand-ins recorded it.
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

# The programs are found by name, as a user would run them; each finds its
# installation from where it really is.
PATH=$stage/bin:$PATH
STANDIN_LOG=$scratch/record.log
export PATH STANDIN_LOG

run() {
  echo "\$ $*"
  "$@"
}

# -v shows every command the driver runs and the environment it exports.
run vorn-cxx -v -o hello "$examples/hello.cc"
echo
echo "== hello (written by the stand-in linker) =="
cat hello
echo

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
