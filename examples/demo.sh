#!/bin/sh
# Compiles and links examples/hello.cc with the staged driver, then builds,
# lists and indexes a small archive through the staged archive-tool
# wrappers, all against the stand-in toolchain, and shows what every tool
# was run with, as the stand-ins recorded it.  Then the same driver, staged
# over the machine's real AArch64 binutils, assembles and links the
# freestanding program of examples/aarch64/, and qemu-aarch64 runs it.
#
# Usage: demo.sh STAGE_DIR TARGET_MACHINE EXAMPLES_DIR SCRATCH_DIR REAL_STAGE_DIR
set -eu

stage=$1
machine=$2
examples=$3
scratch=$4
real=$5

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

echo
echo "== a real AArch64 program =="
# Everything here is real but the compilers proper, which the program does
# not need: the preprocessing of start.S is the stand-in cfe1's, the
# assembler and the linker are the binutils' own, and qemu-aarch64 runs the
# result.  The specs file makes the linker use its Linux emulation.
real_shown=no
if [ -x "$real/$machine/bin/as" ] && [ -x "$real/$machine/bin/ld" ] && command -v qemu-aarch64 >/dev/null; then
  "$real/$machine/bin/as" --version | head -n 1
  qemu-aarch64 --version | head -n 1
  run "$real/bin/vorn-cxx" -v -specs="$examples/toolchains/aarch64-linux-binutils.specs" \
    -static -nostdlib -o hello-aarch64 "$examples/aarch64/start.S" "$examples/aarch64/greet.s"
  echo
  echo "\$ qemu-aarch64 ./hello-aarch64"
  printed=$(qemu-aarch64 ./hello-aarch64)
  echo "$printed"
  real_shown=yes
else
  echo "(skipped: the AArch64 binutils or qemu-aarch64 are not installed;"
  echo " packages binutils-aarch64-linux-gnu and qemu-user)"
fi

echo
echo "== what was shown =="
echo "- vorn-cxx compiled and linked hello.cc through the stand-in compiler proper,"
echo "  assembler and linker front (-v: the commands and their environment);"
echo "- vorn-ar, vorn-nm and vorn-ranlib built, listed and indexed libdemo.a with"
echo "  the stand-in archive tools, each given the plug-in libltolink.so;"
echo "- the record: every child program's exact arguments and COLLECT_* variables;"
if [ "$real_shown" = yes ]; then
  echo "- vorn-cxx preprocessed start.S (stand-in cfe1), assembled it and greet.s with"
  echo "  the real binutils as, linked them with the real ld, and qemu-aarch64 ran the"
  echo "  program, which printed \"$printed\"."
else
  echo "- not the real AArch64 program: its tools are missing."
fi
