#!/bin/bash
# link-through-tree.sh TOOLS DIR VORN: installs the linker front, lto-runner
# and the plug-in from TOOLS into DIR (a directory of any name under the
# current one), links a.o with -B naming DIR, and prints the exit status
# and what the linker front got: its name, the plug-in words and the
# lto-runner it was told about.
set -u
tools=$1 dir=$2 vorn=$3
mkdir -p "$dir"
cp "$tools/ldwrap" "$tools/lto-runner" "$tools/libltolink.so" "$dir/"
rm -f link.log
STANDIN_LOG="$PWD/link.log" "$vorn" -B"$PWD/$dir/" -o prog a.o
echo "status $?"
grep -E '^ldwrap: (arg[0-3]=|env COLLECT_LTO_RUNNER=)' link.log
