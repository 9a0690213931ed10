#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs:
# the programs, their browser plugin, their read-only files and the sample plan, a valid desktop
# entry, the icons, the MIME type of plan files, the man pages, the AppStream
# metadata, the copyright and the changelog.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null

for f in bin/pursekeep bin/pursekeep-cli; do
  [ -x "$prefix/$f" ] || fail "$f is not installed"
done
for f in pkhint.rtf check.bmp help/hlp_Contents_index_main.html help/help.css \
         sample/household.pkb{,ln,sv,cat,rem,ini}; do
  [ -f "$prefix/share/kavo-pursekeep/$f" ] || fail "share/kavo-pursekeep/$f is not installed"
done
# The installed program finds its browser plugin: Help > Contents loads it
# (and the web engine with it) and shows the installed help.
plugin=$(find "$prefix" -path "*/kavo-pursekeep/plugins/pursekeep-browser.so")
[ -n "$plugin" ] || fail "the browser plugin is not installed"
if command -v xvfb-run > /dev/null; then
  xvfb-run -a -s "-screen 0 1280x800x24" bash "$(dirname "$0")/../desktop/check_idle.sh" "$prefix/bin/pursekeep" ||
    fail "the installed program does not open its browser"
fi
# The sample plan is a whole plan the installed tool reads.
"$prefix/bin/pursekeep-cli" totals "$prefix/share/kavo-pursekeep/sample/household.pkb" | grep -q '^Balance: ' ||
  fail "the installed sample plan cannot be read"
for f in copyright changelog.gz; do
  [ -f "$prefix/share/doc/kavo-pursekeep/$f" ] || fail "share/doc/kavo-pursekeep/$f is not installed"
done
[ -f "$prefix/share/metainfo/io.github.kavo.pursekeep.metainfo.xml" ] || fail "no AppStream metadata"

desktop="$prefix/share/applications/kavo-pursekeep.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=pursekeep %F' "$desktop" || fail "Exec is not 'pursekeep %F'"
grep -qx 'Categories=Office;Finance;' "$desktop" || fail "Categories are not Office;Finance;"
grep -qx 'MimeType=application/x-kavo-pursekeep-plan;' "$desktop" || fail "the entry does not open plan files"
# Docks match a window to its entry by the program's name, the X11 class
# instance Qt gives every window (on Wayland by the entry's name itself).
grep -qx 'StartupWMClass=pursekeep' "$desktop" || fail "StartupWMClass is not the program's name"

icons="$prefix/share/icons/hicolor"
xmllint --noout "$icons/scalable/apps/kavo-pursekeep.svg" || fail "the SVG icon is not well-formed"
for size in 16 22 24 32 48 64 128 256; do
  png="$icons/${size}x${size}/apps/kavo-pursekeep.png"
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "the ${size}x${size} icon has another size"
done

# The MIME database built from the package's file maps *.pkb to a plan.
mime="$prefix/share/mime"
xmllint --noout "$mime/packages/kavo-pursekeep.xml" || fail "the MIME file is not well-formed"
update-mime-database "$mime" 2> /dev/null
grep -q '^50:application/x-kavo-pursekeep-plan:\*\.pkb$' "$mime/globs2" || fail "*.pkb is not a plan file"
[ -f "$mime/application/x-kavo-pursekeep-plan.xml" ] || fail "the plan MIME type was not registered"

for page in pursekeep pursekeep-cli; do
  man="$prefix/share/man/man1/$page.1.gz"
  [ -f "$man" ] || fail "no man page for $page"
  zcat "$man" | grep -q "^\.TH \"\?${page}\"\? 1 " || fail "$page.1 is not a man page of section 1"
done

# The installed programs run from their new place.
[ "$("$prefix/bin/pursekeep-cli" --version)" = "pursekeep-cli 3.0" ] || fail "pursekeep-cli --version"
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
[ "$("${nodisplay[@]}" "$prefix/bin/pursekeep" --version)" = "pursekeep 3.0" ] || fail "pursekeep --version"
# A mistyped option is told on a machine without a display too, as with one,
# among Qt's own options and their values.
for args in "--bogus" "-style fusion --bogus home.pkb" "-bogus"; do
  set +e
  err=$("${nodisplay[@]}" "$prefix/bin/pursekeep" $args 2>&1 > /dev/null)
  status=$?
  set -e
  option=$(printf '%s\n' $args | grep -- '^-*bogus$')
  [ "$status" = 2 ] || fail "pursekeep $args without a display ends with status $status, not 2"
  [ "$err" = "pursekeep: unknown option $option (run pursekeep --help for the usage)" ] ||
    fail "pursekeep $args without a display says: $err"
done
echo "installed layout is complete"
