#!/usr/bin/env bash
# Runs COMMAND as a distcc client of a distccd of its own on 127.0.0.1.
#
#   with-distccd.sh [--stopped] DIR COMMAND...
#
# The server listens on a free loopback port, accepts only 127.0.0.1 and
# keeps everything under DIR: its log (DIR/distccd.log), the stand-in record
# of the jobs it ran (DIR/server.log) and its temporary files (DIR/tmp).
# COMMAND runs with DISTCC_HOSTS naming that server and DISTCC_DIR in DIR;
# with --stopped the server is stopped before COMMAND runs, so COMMAND meets
# a host that refuses the connection.  The server is always stopped and
# waited for, and the exit status is COMMAND's.  Every wait is bounded.
set -euo pipefail

stopped=false
if [ "${1:-}" = --stopped ]; then
  stopped=true
  shift
fi
dir=$1
shift
mkdir -p "$dir/tmp" "$dir/client"
# The server may run the jobs as an unprivileged user.
chmod 777 "$dir" "$dir/tmp"

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Looks for the listening socket rather than connecting to it: a connection
# would start a job, whose files a stop in the middle would leave behind.
listening() {
  grep -q "^ *[0-9]*: 0100007F:$(printf '%04X' "$1") 00000000:0000 0A " /proc/net/tcp
}

server=
stop_server() {
  [ -n "$server" ] || return 0
  # The server stops the workers it forked itself, and they remove their
  # own temporary files; a worker told directly may die before that.  They
  # all share the server's process group, which is what is waited for.
  kill -TERM "$server" 2> /dev/null || true
  local tries=0
  while kill -0 -- "-$server" 2> /dev/null && [ $tries -lt 100 ]; do
    sleep 0.05
    tries=$((tries + 1))
  done
  kill -KILL -- "-$server" 2> /dev/null || true
  wait "$server" 2> /dev/null || true
  server=
}
trap stop_server EXIT

port=$(free_port)
env STANDIN_LOG="$dir/server.log" TMPDIR="$dir/tmp" \
  setsid distccd --daemon --no-detach --listen 127.0.0.1 --port "$port" --allow 127.0.0.1 \
  --enable-tcp-insecure --jobs 1 --log-level info --log-file "$dir/distccd.log" &
server=$!
tries=0
until listening "$port"; do
  tries=$((tries + 1))
  if [ $tries -ge 200 ] || ! kill -0 "$server" 2> /dev/null; then
    echo "with-distccd.sh: distccd did not start listening on 127.0.0.1:$port" >&2
    exit 1
  fi
  sleep 0.05
done
if $stopped; then
  stop_server
fi

export DISTCC_HOSTS="127.0.0.1:$port/1" DISTCC_DIR="$dir/client"
set +e
"$@"
status=$?
set -e
stop_server
exit $status
