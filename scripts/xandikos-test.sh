#!/bin/sh
# A throwaway CardDAV server for the sync tests: Xandikos from Debian on
# 127.0.0.1, one empty address book. Xandikos itself asks for no password
# (it expects a proxy in front); the tests' user and password go unread.
#   xandikos-test.sh start DIR   starts it; prints the address book's URL
#   xandikos-test.sh stop DIR    stops it
# Exits 77 when Xandikos is not installed, so that callers can skip.
set -e
. "$(dirname "$0")/carddav-server.sh"
command -v /usr/bin/xandikos >/dev/null 2>&1 || { echo "xandikos is not installed" >&2; exit 77; }
dir=$2
[ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
case "$1" in
start)
  mkdir -p "$dir"
  port=$(free_port)
  /usr/bin/xandikos --defaults -d "$dir/data" -l 127.0.0.1 -p "$port" >"$dir/log" 2>&1 &
  announce "$dir" $! "http://127.0.0.1:$port/user/contacts/book/"
  ;;
stop)
  stop_server "$dir"
  ;;
esac
