#!/bin/sh
# Installs the build into a scratch DESTDIR and checks what a desktop needs:
# the file list, the menu entry and the metainfo as their validators see
# them, and that the installed command runs.
set -eu
build="$1"
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
expected="usr/bin/telbora
usr/bin/telbora-contacts
usr/share/applications/io.github.telbora.Telbora.desktop
usr/share/doc/telbora/changelog.gz
usr/share/doc/telbora/copyright
usr/share/icons/hicolor/256x256/apps/telbora.png
usr/share/man/ja/man1/telbora-contacts.1.gz
usr/share/man/ja/man1/telbora.1.gz
usr/share/man/man1/telbora-contacts.1.gz
usr/share/man/man1/telbora.1.gz
usr/share/metainfo/io.github.telbora.Telbora.metainfo.xml
usr/share/telbora/VexaType.txt
usr/share/telbora/postal.tsv"
found=$(cd "$dest" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [ "$found" != "$expected" ]; then
  echo "installed files differ:"; echo "$found"; exit 1
fi
desktop-file-validate "$dest/usr/share/applications/io.github.telbora.Telbora.desktop"
appstreamcli validate --no-net --pedantic "$dest/usr/share/metainfo/io.github.telbora.Telbora.metainfo.xml"
file "$dest/usr/share/icons/hicolor/256x256/apps/telbora.png" 2>/dev/null | grep -q "256 x 256" || {
  python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); assert struct.unpack('>II', d[16:24]) == (256, 256)" \
    "$dest/usr/share/icons/hicolor/256x256/apps/telbora.png"; }
if command -v man >/dev/null 2>&1; then
  for page in man1/telbora man1/telbora-contacts ja/man1/telbora ja/man1/telbora-contacts; do
    man -l "$dest/usr/share/man/$page.1.gz" >/dev/null 2>&1 || { echo "man page $page does not render"; exit 1; }
  done
fi
"$dest/usr/bin/telbora-contacts" --help | grep -q "import"
# Help in Japanese, Qt's own words too ("使い方"), with no screen needed.
for program in telbora telbora-contacts; do
  help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dest/usr/bin/$program" --help) || { echo "$program --help failed"; exit 1; }
  echo "$help" | grep -q "^使い方" && echo "$help" | grep -q "この説明を表示します" ||
    { echo "$program --help is not in Japanese:"; echo "$help"; exit 1; }
done
echo "install: ok"
