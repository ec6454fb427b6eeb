#!/bin/sh
# A -wrapper that records whether the wrapped child starts with the stack
# limit the driver raises to: 64 MiB, or the hard limit when that is lower.
soft=$(ulimit -S -s)
hard=$(ulimit -H -s)
want=65536
if [ "$hard" != unlimited ] && [ "$hard" -lt "$want" ]; then want=$hard; fi
if [ "$soft" = "$want" ]; then
  echo raised >> "$STACK_LOG"
else
  echo "soft $soft, hard $hard" >> "$STACK_LOG"
fi
exec "$@"
