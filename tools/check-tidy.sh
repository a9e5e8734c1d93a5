#!/usr/bin/env bash
# Fails when clang-tidy (.clang-tidy) has a finding in a source of src/ (the core,
# the windows, the program and kavrel-cli).
# Needs a configured and built tree for its compile database and Qt's generated
# files: build/ci by default, or the build directory given as the argument.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/ci}"
if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-tidy: no $build/compile_commands.json (configure and build first)" >&2
  exit 2
fi
# Each file's findings are printed together, and only when it has any.
tidy_one() {
  local out
  if ! out=$(clang-tidy -p "$1" --quiet --warnings-as-errors='*' "$2" 2>&1); then
    printf '%s\n' "$out" | grep -Ev '^[0-9]+ (warning|error)s? (generated|treated as errors)\.$' >&2 || true
    return 1
  fi
}
export -f tidy_one
start=$SECONDS
if git ls-files -z 'src/*.cpp' | xargs -0 -n1 -P"$(nproc)" bash -c 'tidy_one "$0" "$1"' "$build"; then
  echo "clang-tidy: no findings in src/ ($((SECONDS - start)) s)"
else
  echo "clang-tidy: findings in src/ (see above)" >&2
  exit 1
fi
