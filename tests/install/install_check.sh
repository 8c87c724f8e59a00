#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets: the five programs
# running from there, the desktop entry and icon, the licence, and every manual page (gzipped)
# rendering without a warning, with every page of ours it refers to (SEE ALSO) installed too.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "install_check: $*" >&2; exit 1; }

for program in vantor vantor-proxy vantor-mon vantor-monsim vantor-exporter; do
  [ -x "$prefix/bin/$program" ] || fail "$program is not installed in bin/"
  [ -f "$prefix/share/man/man1/$program.1.gz" ] || fail "the manual page $program.1.gz is missing"
done
"$prefix/bin/vantor" -v | grep -q '^Vantor Version ' || fail "vantor -v does not print its version"
for program in vantor-proxy vantor-mon vantor-exporter; do
  "$prefix/bin/$program" --version > /dev/null || fail "$program --version fails"
done
[ -f "$prefix/share/applications/vantor.desktop" ] || fail "no desktop entry"
grep -q '^Exec=vantor$' "$prefix/share/applications/vantor.desktop" || fail "the desktop entry does not run vantor"
[ -f "$prefix/share/icons/hicolor/scalable/apps/vantor.svg" ] || fail "no icon"
for unit in vantor-proxy vantor-exporter; do
  [ -f "$prefix/lib/systemd/system/$unit.service" ] || fail "no $unit.service"
done
for example in vantor-proxy.conf.example vantor-exporter.prometheus.yml vantor-exporter.rules.yml; do
  [ -f "$prefix/share/doc/vantor/$example" ] || fail "the example $example is missing"
done
[ -f "$prefix/share/doc/vantor/copyright" ] || fail "no copyright file"
# The Debian changelog and lintian's overrides are the package's own, not a plain install's.
[ ! -e "$prefix/share/doc/vantor/changelog.Debian.gz" ] || fail "a plain install has the Debian changelog"
[ ! -e "$prefix/share/lintian" ] || fail "a plain install has lintian overrides"

for page in "$prefix"/share/man/man1/*.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null) || fail "man cannot render $page"
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  # Every page of ours named in SEE ALSO must be installed as well.
  for ref in $(zcat "$page" | sed -n '/^\.SH SEE ALSO/,/^\.SH/p' | grep -o '^\.BR vantor[a-z0-9-]*' | awk '{print $2}'); do
    [ -f "$prefix/share/man/man1/$ref.1.gz" ] || fail "$(basename "$page") refers to $ref(1), which is not installed"
  done
done
echo "install_check: all installed files present and every manual page renders cleanly"
