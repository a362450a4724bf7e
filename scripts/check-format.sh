#!/bin/sh
# Every C++ file of the repository formatted as .clang-format says.
# Fix with: clang-format -i FILE (or, for what a change touched: git clang-format)
cd "$(dirname "$0")/.."
unformatted=""
for file in $(git ls-files '*.cpp' '*.h'); do
  clang-format "$file" | cmp -s - "$file" || unformatted="$unformatted $file"
done
if [ -n "$unformatted" ]; then
  for file in $unformatted; do
    echo "check-format: $file is not formatted as .clang-format says; run: clang-format -i $file"
  done
  exit 1
fi
echo "check-format: every C++ file is formatted."
