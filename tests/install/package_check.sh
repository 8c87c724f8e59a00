#!/usr/bin/env bash
# Builds the Debian package into a temporary directory and checks that it holds everything a
# plain install gives, plus its changelog (with an entry for this version) and lintian
# overrides, and that lintian finds no error and no warning in it. Exits 77 (skipped) where
# dpkg-deb or lintian is not installed, and in a sanitizer build.
# Usage: package_check.sh BUILD_DIR CPACK SANITIZE(ON|OFF)
set -euo pipefail
build=$1
cpack=$2
sanitize=$3

# Nobody ships a sanitizer build, and its package is made by the same files as the plain
# build's, which CI checks first; lintian accepts it too, but it would only cost time.
if [ "$sanitize" = ON ]; then
  echo "package_check: skipped in a sanitizer build (VANTOR_SANITIZE=ON); the plain build checks the package"
  exit 77
fi

for tool in dpkg-deb lintian; do
  if ! command -v "$tool" > /dev/null; then
    echo "package_check: skipped, $tool is not installed (scripts/install-deps installs it)"
    exit 77
  fi
done

fail() { echo "package_check: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack cannot build the package"; }
package=$(ls "$work"/*.deb)

# The files of a plain install, under /usr as in the package.
cmake --install "$build" --prefix "$work/plain" > /dev/null
expected=$( (cd "$work/plain" && find . -type f | sed 's|^\./|./usr/|'
             echo ./usr/share/doc/vantor/changelog.Debian.gz
             echo ./usr/share/lintian/overrides/vantor) | sort)
packaged=$(dpkg-deb --fsys-tarfile "$package" | tar -t | grep -v '/$' | sort)
[ "$expected" = "$packaged" ] \
  || fail "the package's files differ from a plain install's (< install, > package):
$(diff <(echo "$expected") <(echo "$packaged") | grep '^[<>]')"

# lintian does not compare the package's version with its changelog's: a new version needs an entry.
version=$(dpkg-deb -f "$package" Version)
latest=$(dpkg-deb --fsys-tarfile "$package" | tar -xO ./usr/share/doc/vantor/changelog.Debian.gz | zcat | head -n 1)
[[ "$latest" == "vantor ($version) "* ]] \
  || fail "version $version has no entry in packaging/changelog.Debian (its latest: $latest)"

# Any error or warning fails; lintian's grumble about running as root (as CI does) is dropped.
status=0
report=$(lintian --fail-on error,warning "$package" 2>&1) || status=$?
grep -v 'running with root privileges' <<< "$report" || true
[ "$status" -eq 0 ] || fail "lintian finds fault with $(basename "$package")"
echo "package_check: $(basename "$package") holds every installed file and lintian accepts it"
