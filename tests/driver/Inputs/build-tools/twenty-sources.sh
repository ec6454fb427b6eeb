#!/usr/bin/env bash
# Writes the sources of the make scenario into the current directory:
# src00.cc to src19.cc, where src00 to src04 include a.h, and src10 and
# src11 include b.h, which includes deep/c.h.
set -euo pipefail
mkdir -p deep
echo 'int a;' > a.h
printf '#include "deep/c.h"\nint b;\n' > b.h
echo 'int c;' > deep/c.h
for i in $(seq -w 0 19); do
  case $i in
    0[0-4]) echo '#include "a.h"' ;;
    1[01]) echo '#include "b.h"' ;;
  esac > "src$i.cc"
  echo "int value$i = $((10#$i));" >> "src$i.cc"
done
