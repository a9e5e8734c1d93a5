#!/usr/bin/env bash
# Installs what is missing, builds, copies the bundled demo working directory to
# a scratch place (so the repository's demo files never change) and starts
# Kavrel there.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
tools/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"

work=${KAVREL_DEMO_DIR:-$src/scratch/demo}
rm -rf "$work"
mkdir -p "$work"
cp -R demo/. "$work/"
# A checkout does not keep file times; give the logs the times they were captured.
touch -d '2026-12-05 21:30:00' "$work/LOG/KAB0605.LOG"
touch -d '2026-12-06 23:10:00' "$work/LOG/KAB0606.LOG"
touch -d '2026-12-06 09:40:00' "$work/LOG/mnt1206.log"

cd "$work"
if [ -x "$src/build/default/src/app/kavrel" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; }; then
  exec "$src/build/default/src/app/kavrel" "${@:-.}"
fi
echo "No display to show the window on; reading the newest demo log with kavrel-cli instead." >&2
exec "$src/build/default/src/cli/kavrel-cli" open 0 KAB0606.LOG
