#!/bin/sh
# A throwaway CardDAV server for the sync tests: Xandikos from Debian on
# 127.0.0.1, one empty address book. Xandikos itself asks for no password
# (it expects a proxy in front); the tests' user and password go unread.
#   xandikos-test.sh start DIR   starts it; prints the address book's URL
#   xandikos-test.sh stop DIR    stops it
# Exits 77 when Xandikos is not installed, so that callers can skip.
set -e
command -v /usr/bin/xandikos >/dev/null 2>&1 || { echo "xandikos is not installed" >&2; exit 77; }
dir=$2
[ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
case "$1" in
start)
  mkdir -p "$dir"
  port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  /usr/bin/xandikos --defaults -d "$dir/data" -l 127.0.0.1 -p "$port" >"$dir/log" 2>&1 &
  echo $! > "$dir/pid"
  url="http://127.0.0.1:$port/user/contacts/book/"
  /usr/bin/python3 "$(dirname "$0")/carddav-mkcol.py" "$url"
  echo "$url" > "$dir/url"
  echo "$url"
  ;;
stop)
  [ -f "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
  rm -f "$dir/pid"
  ;;
esac
