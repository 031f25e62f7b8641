#!/usr/bin/env bash
# The Debian package made from this build: its files and their places, its dependencies,
# its conffile, and the installed program starting from a scratch root.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(ls "$work"/out/*.deb)
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' | sort >"$work/files"
for f in /usr/bin/linkpanel /usr/share/applications/linkpanel.desktop /etc/xdg/autostart/linkpanel.desktop \
    /usr/share/icons/hicolor/scalable/apps/linkpanel.svg /usr/share/icons/hicolor/16x16/apps/linkpanel.png \
    /usr/share/icons/hicolor/22x22/apps/linkpanel.png /usr/share/icons/hicolor/24x24/apps/linkpanel.png \
    /usr/share/icons/hicolor/32x32/apps/linkpanel.png /usr/share/icons/hicolor/48x48/apps/linkpanel.png; do
    grep -qx "$f" "$work/files" || { echo "FAIL: $f missing from the package"; cat "$work/files"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6svg6 qt6-qpa-plugins fonts-liberation; do
    [[ $depends == *"$d"* ]] || { echo "FAIL: Depends lacks $d: $depends"; exit 1; }
done
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/xdg/autostart/linkpanel.desktop ||
    { echo "FAIL: the autostart entry is not a conffile"; exit 1; }
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/linkpanel.desktop"
# The installed program starts: in a private network namespace, on its own display, it
# is still running after three seconds.
unshare -n xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    bash -c "ip link set lo up; env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR=$work \"$work/root/usr/bin/linkpanel\" & pid=\$!; sleep 3; kill -0 \$pid && kill \$pid" ||
    { echo "FAIL: the installed program did not keep running"; exit 1; }
echo "passed: $(wc -l <"$work/files") paths, Depends: $depends"
