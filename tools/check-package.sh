#!/usr/bin/env bash
# Makes the Debian package from the CI build and checks it: every file in
# place, lintian without errors, the menu entry and the AppStream metadata
# valid, and the programs running from the unpacked package.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
build=${KAVREL_BUILD_DIR:-$src/build/ci}
id=io.github.kavrel.Kavrel

cmake --build "$build" -j"$(nproc)"
(cd "$build" && rm -f kavrel_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/kavrel_*.deb)
echo "package: $deb"

fail() { echo "check-package: $*" >&2; exit 1; }

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's#^\./#/#')
for file in /usr/bin/kavrel /usr/bin/kavrel-cli \
    /usr/share/applications/$id.desktop \
    /usr/share/icons/hicolor/scalable/apps/$id.svg \
    /usr/share/icons/hicolor/48x48/apps/$id.png \
    /usr/share/icons/hicolor/256x256/apps/$id.png \
    /usr/share/metainfo/$id.metainfo.xml \
    /usr/share/man/man1/kavrel.1.gz /usr/share/man/man1/kavrel-cli.1.gz \
    /usr/share/bash-completion/completions/kavrel-cli \
    /usr/share/doc/kavrel/README.md /usr/share/doc/kavrel/copyright \
    /usr/share/doc/kavrel/docs/guide.md /usr/share/doc/kavrel/docs/cli.md /usr/share/doc/kavrel/docs/files.md \
    /usr/share/doc/kavrel/docs/architecture.md /usr/share/doc/kavrel/docs/benchmarks.md; do
  grep -qx "$file" <<<"$contents" || fail "$file is not in the package"
done

# lintian: errors fail, warnings are listed.
lintian_out=$(lintian --tag-display-limit 0 "$deb" || true)
[ -n "$lintian_out" ] && echo "$lintian_out"
if grep -q '^E:' <<<"$lintian_out"; then
  fail "lintian reports errors"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch"
desktop-file-validate "$scratch/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$scratch/usr/share/metainfo/$id.metainfo.xml"

# Every command of kavrel-cli's usage has its part in the man page.
man_page=$(zcat "$scratch/usr/share/man/man1/kavrel-cli.1.gz")
for command in $("$scratch/usr/bin/kavrel-cli" --help | awk '/^commands:/{on=1; next} on && /^  [a-z]/{print $1}'); do
  grep -q "^\\\\fB$command\\\\fR" <<<"$man_page" || fail "$command is not in kavrel-cli.1"
done

version=$(sed -n 's/^project(Kavrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$("$scratch/usr/bin/kavrel-cli" --version)" = "kavrel-cli $version" ] || fail "kavrel-cli --version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$scratch/usr/bin/kavrel" --version | grep -qx "kavrel $version" || fail "kavrel --version"
cp -R demo "$scratch/demo"
"$scratch/usr/bin/kavrel-cli" -C "$scratch/demo" titles 0 KAB0606.LOG --board 3 | grep -q '新しいログリーダー' \
  || fail "kavrel-cli -C demo titles"
echo "check-package: $deb is complete and runs"
