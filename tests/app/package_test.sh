#!/usr/bin/env bash
# The Debian package as Debian expects it: its file name, stripped program, architecture-
# independent data under share/zintrel and nothing under lib, documentation, an extended
# description, a dependency on the package of every library the program links, no lintian error,
# a desktop entry that desktop-file-validate accepts without a word, and what desktops and
# software centres look for: metainfo, a scalable icon, recommended integration packages.
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "$*"; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" || { cat "$work/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
deb="$work/out/zintrel_${version}-1_${arch}.deb"
[ -f "$deb" ] || { fail "no $(basename "$deb") among: $(ls "$work/out")"; exit 1; }

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -f "$deb" Depends > "$work/depends"
dpkg-deb -f "$deb" Description > "$work/description"

[ ! -e "$work/root/usr/lib" ] || fail "files under usr/lib: $(find "$work/root/usr/lib" -type f)"
for file in App.xaml MainWindow.xaml AppxManifest.xml Assets/Zintrel-32.png; do
  [ -f "$work/root/usr/share/zintrel/$file" ] || fail "usr/share/zintrel/$file is missing"
done
# Every markup file the build puts beside the program is installed with it.
for file in "$build"/app/*.xaml; do
  [ -f "$work/root/usr/share/zintrel/$(basename "$file")" ] || fail "$(basename "$file") is not installed"
done
program="$work/root/usr/bin/zintrel"
[ -x "$program" ] || fail "usr/bin/zintrel is missing"
if readelf -S "$program" | grep -Eq '\.debug_|\.symtab'; then fail "usr/bin/zintrel is not stripped"; fi
[ -f "$work/root/usr/share/doc/zintrel/copyright" ] || fail "no copyright file"
gzip -t "$work/root/usr/share/doc/zintrel/changelog.Debian.gz" || fail "no changelog.Debian.gz"
[ "$(wc -l < "$work/description")" -ge 3 ] || fail "no extended description: $(cat "$work/description")"

# The package of each library the program links, as dpkg knows it, is a dependency.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
tr ',' '\n' < "$work/depends" | awk '{print $1}' > "$work/depends.names"
for library in $(readelf -d "$program" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
  owner=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -1 | cut -d: -f1)
  [ -n "$owner" ] || { fail "no package holds $library"; continue; }
  grep -Fxq "$owner" "$work/depends.names" || fail "$library ($owner) is not among the dependencies: $(cat "$work/depends")"
done
grep -q "qt6-qpa-plugins" "$work/depends" || fail "Qt's platform plugins are not a dependency"

lintian "$deb" > "$work/lintian" 2>&1 || true
if grep -q '^E:' "$work/lintian"; then fail "lintian errors:"; grep '^E:' "$work/lintian"; fi
entry="$work/root/usr/share/applications/zintrel.desktop"
validation=$(desktop-file-validate "$entry" 2>&1) || true
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
for line in StartupNotify=true TryExec=zintrel; do grep -qx "$line" "$entry" || fail "the desktop entry lacks $line"; done

# Native file dialogs and Wayland come recommended.
recommends=$(dpkg-deb -f "$deb" Recommends)
for package in qt6-gtk-platformtheme qt6-wayland; do
  grep -qw "$package" <<< "$recommends" || fail "$package is not recommended: $recommends"
done
# Software centres: metainfo that appstreamcli accepts, naming the desktop entry; a scalable icon.
metainfo=("$work"/root/usr/share/metainfo/*.metainfo.xml)
if [ -f "${metainfo[0]}" ]; then
  appstreamcli validate --no-net "${metainfo[0]}" > "$work/appstream" 2>&1 || { fail "appstreamcli validate:"; cat "$work/appstream"; }
  grep -q '<launchable type="desktop-id">zintrel.desktop</launchable>' "${metainfo[0]}" || fail "the metainfo launches no zintrel.desktop"
else
  fail "no metainfo under usr/share/metainfo"
fi
icon="$work/root/usr/share/icons/hicolor/scalable/apps/zintrel.svg"
[ -f "$icon" ] && grep -q "<svg" "$icon" || fail "no scalable icon"
head -1 "$work/root/usr/share/doc/zintrel/copyright" | grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
  || fail "the copyright file is not machine-readable"

[ "$failures" -eq 0 ] && echo "$(basename "$deb") is a sound Debian package"
exit "$failures"
