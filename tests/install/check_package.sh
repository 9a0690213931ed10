#!/usr/bin/env bash
# Builds the Debian package of the build and holds it to Debian's rules:
# lintian finds no error or warning, the AppStream metadata and the desktop
# entry inside it validate, and it carries its copyright and changelog.
#   check_package.sh BUILD_DIR
# Needs lintian and appstreamcli (scripts/install-deps installs them); without
# them the check is skipped (status 77), saying so.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in lintian appstreamcli; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps installs it)"
    exit 77
  fi
done

(cd "$build" && cpack -G DEB -B "$work" > "$work/cpack.log") || { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/kavo-pursekeep_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "no package was made"
deb=${debs[0]}

# Informational tags are shown too; the README says why those left stand.
lintian --fail-on error,warning --display-info --no-tag-display-limit "$deb" || fail "lintian"

# The libraries of the browser plugin are the package's too, though the
# program itself does not link them.
dpkg-deb -f "$deb" Depends | grep -q 'libqt6webenginewidgets6' ||
  fail "the package does not depend on the web engine its browser plugin loads"

root="$work/root"
dpkg-deb -x "$deb" "$root"
[ -f "$root/usr/lib/kavo-pursekeep/plugins/pursekeep-browser.so" ] || fail "the browser plugin is not in the package"
doc="$root/usr/share/doc/kavo-pursekeep"
head -1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
zcat "$doc/changelog.gz" > "$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "the changelog's latest entry is not the package's version"

metainfo="$root/usr/share/metainfo/io.github.kavo.pursekeep.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metadata"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "the AppStream metadata does not validate"
# The metadata, the desktop entry and the icon together, as a software centre
# gathers them from the installed files.
appstreamcli validate-tree --no-net "$root" || fail "the installed tree does not validate"
desktop-file-validate "$root/usr/share/applications/kavo-pursekeep.desktop" || fail "the desktop entry does not validate"
echo "package is clean"
