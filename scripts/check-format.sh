#!/bin/sh
# The C++ lines changed since a commit, formatted as .clang-format says:
# BASE from the argument, else .ci/format-base. Only changed lines are
# checked, so that touching a line never asks for a whole file reformatted.
# Fix with: git clang-format BASE
set -e
cd "$(dirname "$0")/.."
base=${1:-$(cat .ci/format-base)}
if ! git cat-file -e "$base^{commit}" 2>/dev/null; then
  echo "check-format: $base is not a commit here; nothing checked."
  exit 0
fi
out=$(git clang-format --diff "$base" -- '*.cpp' '*.h' 2>&1)
case "$out" in
  "" | *"no modified files to format"* | *"did not modify any files"*)
    echo "check-format: the lines changed since $base are formatted."
    exit 0 ;;
esac
echo "$out"
echo "check-format: lines changed since $base are not formatted as .clang-format says; run: git clang-format $base"
exit 1
