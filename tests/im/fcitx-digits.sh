#!/bin/sh
# Typing through fcitx5 + mozc as a user does: an ordinary user (fcitx5 does
# not start as root), a session bus, Xvfb, then tst_typing's input-method test.
# Usage: fcitx-digits.sh TST_TYPING_BINARY
set -e
binary=$(readlink -f "$1")
if ! command -v fcitx5 >/dev/null 2>&1 || [ ! -d /usr/share/fcitx5/inputmethod ] ||
   [ ! -f /usr/share/fcitx5/inputmethod/mozc.conf ]; then
  echo "fcitx5 with mozc is not installed: skipped"
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  user=telbora-im
  id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
  # The build may sit where that user cannot read: it gets its own copy.
  copy=$(mktemp -d)
  trap 'rm -rf "$copy"' EXIT
  cp "$binary" "$copy/" && cp "$(readlink -f "$0")" "$copy/"
  chmod -R a+rX "$copy"
  runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$(getent passwd "$user" | cut -d: -f6)" \
    sh "$copy/$(basename "$0")" "$copy/$(basename "$binary")"
  exit $?
fi
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR="$runtime"

# A profile with mozc beside the keyboard, so that activating means mozc.
config="$HOME/.config/fcitx5"
mkdir -p "$config"
cat >"$config/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
PROFILE

exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  fcitx5 >"$HOME/fcitx5.log" 2>&1 &
  fcitx=$!
  i=0
  # Asked before it owns its name, fcitx5-remote would have the bus start a second one.
  until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q "boolean true"; do
    i=$((i + 1)); [ $i -lt 100 ] || { echo "fcitx5 did not start"; cat "$HOME/fcitx5.log"; exit 1; }
    sleep 0.1
  done
  # Through Qt'"'"'s fcitx5 module, then through its ibus module to fcitx5'"'"'s ibus side.
  status=0
  for module in fcitx ibus; do
    echo "QT_IM_MODULE=$module"
    QT_QPA_PLATFORM=xcb QT_IM_MODULE=$module IBUS_USE_PORTAL=1 XMODIFIERS=@im=fcitx TELBORA_TEST_FCITX=1 \
      "$1" inputMethodStaysOutOfDigitBoxes || status=1
  done
  kill $fcitx
  exit $status
' sh "$binary"
