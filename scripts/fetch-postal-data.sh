#!/bin/sh
# Japan Post's postal codes (all areas and the large offices' own codes), as
# the npm package jquery-jpostal-ja carries them in json/*.json: fetched once,
# pinned by version and checksum, kept in the user's cache as
# postal-source.tgz for the build to convert (scripts/make-postal-table.py).
# The programs themselves never reach the network.
set -e
version=2.14.73
sha256=2ce7baa752dc8ecc1264e694c49d3713f6279538299062499215eaa302a966c4
dir=${TELBORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/telbora}
file=$dir/postal-source.tgz
if [ -f "$file" ] && echo "$sha256  $file" | sha256sum -c --status; then
  exit 0
fi
mkdir -p "$dir"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "Fetching the postal code data: jquery-jpostal-ja $version (npm)"
if ! (cd "$tmp" && npm pack "jquery-jpostal-ja@$version" >"$tmp/npm.log" 2>&1); then
  echo "npm could not fetch jquery-jpostal-ja $version (the postal code data); npm said:" >&2
  cat "$tmp/npm.log" >&2
  exit 1
fi
if ! echo "$sha256  $tmp/jquery-jpostal-ja-$version.tgz" | sha256sum -c --status; then
  echo "The postal code data does not have the checksum it was pinned with; nothing kept." >&2
  exit 1
fi
mv "$tmp/jquery-jpostal-ja-$version.tgz" "$file"
