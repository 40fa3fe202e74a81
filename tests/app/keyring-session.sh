#!/bin/sh
# Runs a test with an unlocked keyring of its own, as a desktop session has one: a Secret Service
# on the test's private session bus, keeping its collection in a home of the test's own.
set -eu
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home"
printf 'test-keyring' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
QUIBBO_TEST_KEYRING=1 "$@"
