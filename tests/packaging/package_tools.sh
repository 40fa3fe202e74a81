#!/bin/sh
# Every command make package runs comes from a package scripts/install-deps installs, so that
# the package builds on a machine that had nothing but git and make before.
set -eu
top=$(dirname "$0")/../..
installed=$("$top/scripts/install-deps" --list)

passed=0
failed=0
while read -r command package; do
    case "$command" in '#'* | '') continue ;; esac
    path=$(command -v "$command" || true)
    owner=
    # dpkg may know the file by its name before /usr was merged.
    for known in "$path" "/bin/$command" "/usr/bin/$command"; do
        [ -n "$path" ] && [ -z "$owner" ] && owner=$(dpkg -S "$known" 2>/dev/null | cut -d: -f1) || true
    done
    if [ "$owner" = "$package" ] && printf '%s\n' $installed | grep -qx "$package"; then
        passed=$((passed + 1))
    else
        echo "FAILED: $command should come from $package (found ${path:-nothing}, of ${owner:-no package}), which install-deps installs"
        failed=$((failed + 1))
    fi
done < "$top/packaging/package-tools"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
