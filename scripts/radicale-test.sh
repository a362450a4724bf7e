#!/bin/sh
# A throwaway CardDAV server for the sync tests and benchmarks: Radicale from
# Debian on 127.0.0.1, user "taro" (password "secret"), one empty address book.
#   radicale-test.sh start DIR   starts it; prints the address book's URL
#   radicale-test.sh stop DIR    stops it
# Exits 77 when Radicale is not installed, so that callers can skip.
set -e
. "$(dirname "$0")/carddav-server.sh"
command -v /usr/bin/radicale >/dev/null 2>&1 || { echo "radicale is not installed" >&2; exit 77; }
dir=$2
[ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
case "$1" in
start)
  mkdir -p "$dir/collections"
  echo "taro:secret" > "$dir/users"
  port=$(free_port)
  cat > "$dir/config" <<CONF
[server]
hosts = 127.0.0.1:$port
# Small, so that a test can have one card refused (413).
max_content_length = 100000
[auth]
type = htpasswd
htpasswd_filename = $dir/users
htpasswd_encryption = plain
delay = 0
[storage]
filesystem_folder = $dir/collections
[rights]
type = owner_only
[logging]
level = warning
CONF
  /usr/bin/radicale --config "$dir/config" >"$dir/log" 2>&1 &
  announce "$dir" $! "http://127.0.0.1:$port/taro/book/" taro:secret
  ;;
stop)
  stop_server "$dir"
  ;;
esac
