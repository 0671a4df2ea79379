#!/usr/bin/env bash
# Installs the build tree under /usr into a temporary root (DESTDIR), checks the layout,
# validates the desktop entry and the AppStream metainfo, runs the installed cva-cli on
# the installed plugins, and builds the Debian package and checks what it declares.
#
# Usage: check_install.sh BUILD_DIR SOURCE_DIR [SKYFETCH_SONAME]
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
soname=${3:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
need() { [ -e "$root/$1" ] || fail "missing /$1"; }
# Output piped into grep is matched with >/dev/null, never -q: grep -q leaves at the first
# match, the writer may then die of SIGPIPE, and pipefail turns a found line into a failure.

DESTDIR=$root cmake --install "$build" --prefix /usr >"$tmp/install.log" ||
  { cat "$tmp/install.log"; exit 1; }

# --- Layout -----------------------------------------------------------------------------
for program in cva cva-cli cva-reg cvascript; do
  [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not an installed program"
  need "usr/share/man/man1/$program.1.gz"
  gzip -t "$root/usr/share/man/man1/$program.1.gz" || fail "$program.1.gz is no gzip file"
  need "usr/share/bash-completion/completions/$program"
done
shipped=$(find "$source/plugins" -maxdepth 1 -name '*.cvp' | wc -l)
installed=$(find "$root/usr/share/corvanta/plugins" -maxdepth 1 -name '*.cvp' | wc -l)
[ "$shipped" -gt 0 ] && [ "$shipped" -eq "$installed" ] ||
  fail "$installed of $shipped plugins installed in /usr/share/corvanta/plugins"
need usr/share/applications/org.meridot.corvanta.desktop
need usr/share/metainfo/org.meridot.corvanta.metainfo.xml
need usr/share/mime/packages/corvanta.xml
need usr/share/icons/hicolor/scalable/apps/corvanta.svg
for size in 16 22 24 32 48 64 128 256; do
  icon=usr/share/icons/hicolor/${size}x${size}/apps/corvanta.png
  need "$icon"
  # The PNG header holds width and height as big-endian words at bytes 16 and 20.
  [ "$(od -An -tu1 -j16 -N8 "$root/$icon" 2>/dev/null | tr -s ' ')" = \
    " 0 0 $((size >> 8)) $((size & 255)) 0 0 $((size >> 8)) $((size & 255))" ] ||
    fail "$icon is not ${size}x${size}"
done
need usr/share/doc/corvanta/manual/index.html
need usr/share/doc/corvanta/copyright
gzip -t "$root/usr/share/doc/corvanta/changelog.gz" || fail "changelog.gz is missing or no gzip file"
# Every page and picture the manual links to is installed with it.
for page in "$root"/usr/share/doc/corvanta/manual/*.html; do
  for link in $(grep -o '\(href\|src\)="[^"#:]*' "$page" | sed 's/^[a-z]*="//' | sort -u); do
    [ -e "$(dirname "$page")/$link" ] || fail "$(basename "$page") links to $link, which is not installed"
  done
done
# The update library, once the tree builds it, lies in the library folder with its
# soname, and the installed window finds it there.
if [ -n "$soname" ]; then
  lib=$(find "$root/usr" -name "$soname" | head -1)
  [ -n "$lib" ] || fail "libskyfetch's soname file $soname is not installed"
  LD_LIBRARY_PATH= ldd "$root/usr/bin/cva" | grep "libskyfetch.*$root" >/dev/null ||
    fail "the installed cva does not find the installed libskyfetch"
fi

# --- Desktop entry and metainfo ---------------------------------------------------------
desktop-file-validate "$root/usr/share/applications/org.meridot.corvanta.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.meridot.corvanta.metainfo.xml" ||
  fail "appstreamcli validate"
grep -q '^Icon=corvanta$' "$root/usr/share/applications/org.meridot.corvanta.desktop" ||
  fail "the desktop entry names another icon"

# --- The installed programs on the installed plugins ------------------------------------
export HOME=$tmp/home XDG_DATA_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/config
mkdir -p "$HOME"
"$root/usr/bin/cva" --help | grep -- --target >/dev/null || fail "installed cva --help"
if "$root/usr/bin/cva-cli" list >"$tmp/list.txt" 2>&1; then
  grep -q 'explorer_files' "$tmp/list.txt" || fail "installed cva-cli list does not show the shipped plugins"
  grep -qF "$root/usr/share/corvanta/plugins" "$XDG_CONFIG_HOME/Meridot/Corvanta/settings.reg" ||
    fail "cva-cli did not take /usr/share/corvanta/plugins as its plugin folder"
else
  cat "$tmp/list.txt"
  fail "installed cva-cli list"
fi
"$root/usr/bin/cva-cli" show explorer_files >/dev/null || fail "installed cva-cli show explorer_files"

# --- The Debian package -----------------------------------------------------------------
if command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  (cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1) ||
    { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
  deb=$(ls "$tmp"/package/corvanta_*.deb 2>/dev/null | head -1)
  if [ -n "$deb" ]; then
    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = corvanta ] || fail "package name $(field Package)"
    for dependency in libc6 libqt6widgets6 libhivex0 qt6-qpa-plugins; do
      field Depends | grep "$dependency" >/dev/null || fail "Depends lacks $dependency: $(field Depends)"
    done
    field Recommends | grep wine >/dev/null || fail "Recommends lacks wine"
    [ -n "$(field Section)" ] && [ -n "$(field Maintainer)" ] || fail "no Section or Maintainer"
    dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$tmp/contents.txt"
    for path in /usr/bin/cva /usr/bin/cva-cli /usr/share/man/man1/cva-cli.1.gz \
                /usr/share/corvanta/plugins/explorer_files.cvp \
                /usr/share/applications/org.meridot.corvanta.desktop \
                /usr/share/doc/corvanta/manual/index.html /usr/share/doc/corvanta/copyright; do
      grep -qx "$path" "$tmp/contents.txt" || fail "the package lacks $path"
    done
  else
    fail "cpack made no corvanta_*.deb"
  fi
else
  echo "SKIP: the package check needs dpkg-deb and dpkg-shlibdeps (dpkg-dev)"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "installed layout, desktop entry, metainfo, cva-cli and package: all good"
