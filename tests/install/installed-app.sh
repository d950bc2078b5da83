#!/usr/bin/env bash
# installed-app.sh BUILD_DIR (run by the harness's x11 tier)
# Installs the build into a temp prefix, checks the desktop entry and the
# AppStream file there with the desktop's own validators, then starts the
# installed Quillet from a folder far from the build and source trees: it must
# come up on its own (own its bus name and answer a command), and a second start
# must hand over to it and exit.
set -eu
prefix=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix/share/applications/com.ovo.quillet.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.ovo.quillet.metainfo.xml"
test -s "$prefix/share/icons/hicolor/scalable/apps/com.ovo.quillet.svg"
test -s "$prefix/share/icons/hicolor/symbolic/apps/com.ovo.quillet-symbolic.svg"
test -s "$prefix/share/qlogging-categories6/quillet.categories"
test -s "$prefix/share/man/man1/quillet.1"

cd "$prefix"
"$prefix/bin/quillet" &
pid=$!
up=no
for _ in $(seq 1 150); do
    if "$prefix/bin/quillet" --hide 2>/dev/null; then up=yes; break; fi
    kill -0 "$pid" || { echo "the installed quillet exited early" >&2; exit 1; }
    sleep 0.1
done
[ "$up" = yes ] || { echo "the installed quillet never took a command" >&2; exit 1; }
timeout 10 "$prefix/bin/quillet"
kill -0 "$pid"
