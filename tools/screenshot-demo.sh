# Sourced by the screenshot scripts: the kavrel-screenshot program ($build,
# built when missing) and a scratch copy of the demo ($work, removed on exit)
# whose logs keep the times a checkout loses.
src=$(pwd)
build=$(realpath -m "${KAVREL_BUILD_DIR:-$src/build/default}")
if [ ! -x "$build/src/app/kavrel-screenshot" ]; then
  cmake --preset default
  cmake --build --preset default --target kavrel-screenshot
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R demo/. "$work/"
touch -d '2026-12-05 21:30:00' "$work/LOG/KAB0605.LOG"
touch -d '2026-12-06 23:10:00' "$work/LOG/KAB0606.LOG"
touch -d '2026-12-06 09:40:00' "$work/LOG/mnt1206.log"
mkdir -p docs
