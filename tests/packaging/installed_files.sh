#!/bin/sh
# What cmake --install puts in place is valid for the desktop, wherever it is installed: the
# desktop entry and the AppStream metadata pass their validators, and the D-Bus service file
# starts the program at the prefix it was installed to, not the one configured.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix/usr" > /dev/null
DESTDIR="$prefix/staged" cmake --install "$build" --prefix /opt/quibbo > /dev/null

passed=0
failed=0
check() {
    if "$@"; then passed=$((passed + 1)); else echo "FAILED: $*"; failed=$((failed + 1)); fi
}

id=example.quibbo.Quibbo
share=$prefix/usr/share
check desktop-file-validate "$share/applications/$id.desktop"
check grep -qx "DBusActivatable=true" "$share/applications/$id.desktop"
check appstreamcli validate --pedantic --no-net "$share/metainfo/$id.metainfo.xml"
check grep -qx "Exec=$prefix/usr/bin/quibbo" "$share/dbus-1/services/$id.service"
check grep -qx "Name=$id" "$share/dbus-1/services/$id.service"
check grep -qx "Exec=/opt/quibbo/bin/quibbo" "$prefix/staged/opt/quibbo/share/dbus-1/services/$id.service"
for file in bin/quibbo bin/quibbo-send-selection share/icons/hicolor/scalable/apps/$id.svg \
            share/man/man1/quibbo.1.gz share/man/man1/quibbo-send-selection.1.gz \
            share/doc/quibbo/copyright share/quibbo/translations/quibbo_de.qm \
            share/quibbo/translations/quibbo_en.qm; do
    check test -f "$prefix/usr/$file"
done
check test ! -e "$prefix/usr/bin/quibbo-sim"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
