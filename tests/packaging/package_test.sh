#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, installs it into a throw-away root and
# checks what a user's system would get: the program folder, the launcher, the desktop files, the
# control fields, and lintian's verdict.
set -euo pipefail
build_dir="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
quiet() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; return 1; }; } # its output only when it fails

quiet cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" || fail "cpack could not build the package"
deb=$(ls "$work"/out/quillet_*.deb)

# Control fields: the office suite's full packages, the web engine, widgets, a CJK font and Qt's own
# texts in Chinese.
depends=$(dpkg-deb -f "$deb" Depends)
for need in libreoffice-writer libreoffice-draw libreoffice-math libreoffice-calc fonts-noto-cjk libqt6widgets6 libqt6webenginewidgets6 \
            libqt6gui6 libqt6core6 qt6-translations-l10n; do
    grep -q -E "(^|[ ,|])$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
grep -q -- '-nogui' <<<"$depends" && fail "Depends names a -nogui office package"
[ "$(dpkg-deb -f "$deb" Package)" = quillet ] || fail "wrong package name"

# Install into a throw-away root with its own dpkg database.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
quiet dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" ||
    fail "dpkg could not install the package"

program_dir="$root/usr/lib/quillet"
for file in quillet Tessora.dll; do [ -x "$program_dir/$file" ] || fail "no $file in the program folder"; done
extra=$(ls -A "$program_dir" | grep -v -x -e quillet -e Tessora.dll || true)
[ -z "$extra" ] || fail "unexpected files in the program folder: $extra"
# Only root may write the program folder, so a user's log goes to the user's data folder.
[ "$(stat -c '%a %U' "$program_dir")" = "755 root" ] || fail "program folder is not 755 root"
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    chmod 755 "$work" "$root" "$root/usr" "$root/usr/lib"
    setpriv --reuid=65534 --regid=65534 --clear-groups touch "$program_dir/Quillet.log" 2>/dev/null &&
        fail "an ordinary user can write the installed program folder"
fi

launcher="$root/usr/bin/quillet"
[ -x "$launcher" ] || fail "no launcher on the PATH"
# The launcher starts the program of its own installation, with the arguments, whatever the prefix:
# run it (through a link, as a PATH entry may be) with a stand-in for the program.
mv "$program_dir/quillet" "$work/quillet.real"
printf '#!/bin/sh\necho "started $*"\n' >"$program_dir/quillet"
chmod 755 "$program_dir/quillet"
ln -s "$launcher" "$work/quillet-link"
[ "$("$work/quillet-link" one two)" = "started one two" ] || fail "launcher does not start the installed program"
mv "$work/quillet.real" "$program_dir/quillet"

desktop="$root/usr/share/applications/quillet.desktop"
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -q '^Categories=Office;Graphics;$' "$desktop" || fail "desktop categories"
grep -q '^Comment\[zh_CN\]=' "$desktop" || fail "no Chinese comment"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/quillet.svg" ] || fail "no icon"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.quillet.Quillet.metainfo.xml" >/dev/null ||
    fail "metainfo does not validate"

# The installed converter runs from its folder (its libraries resolve) and refuses a wrong key.
status=0
QT_QPA_PLATFORM=offscreen timeout 60 "$program_dir/Tessora.dll" wrong-key /tmp >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "installed converter answered $status to a wrong access argument, not 2"

! command -v lintian >/dev/null ||
    lintian --fail-on error --suppress-tags-from-file /dev/null "$deb" || fail "lintian reports errors"
echo "package checks passed"
