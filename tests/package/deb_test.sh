#!/usr/bin/env bash
# The Debian package of this build: made with cpack, unpacked into a temporary root, checked
# for its files and declared dependencies, and its ecf-cli run once on a demo database.
# Exit 77 (skipped) when the package tools are missing.
#   deb_test.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1
build=$2
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (dpkg-dev)"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/out/ecf_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dep in libc6 libstdc++6 libqt6widgets6 libqt6printsupport6 qt6-translations-l10n; do
  [[ $depends == *"$dep"* ]] || { echo "the package does not declare $dep"; exit 1; }
done

root=$tmp/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/ecf usr/bin/ecf-cli usr/share/applications/ecf.desktop \
  usr/share/icons/hicolor/scalable/apps/ecf.svg usr/share/man/man1/ecf-cli.1.gz \
  usr/share/doc/ecf/README.md usr/share/doc/ecf/copyright; do
  [ -e "$root/$f" ] || { echo "missing from the package: /$f"; dpkg-deb -c "$deb"; exit 1; }
done
if command -v man >/dev/null; then
  man -l "$root/usr/share/man/man1/ecf-cli.1.gz" 2>/dev/null | grep -q "EXIT STATUS" \
    || { echo "the manual page does not read"; exit 1; }
fi

# The packaged ecf-cli prints the demo coupon on the emulated printer.
cli=$root/usr/bin/ecf-cli
"$cli" make-demo "$tmp/db" --model FS345 >/dev/null
out=$(cd "$tmp/db" && VANTIS_DIR="$tmp/db" ECF_STATE_DIR="$tmp/state" "$cli" print --show-paper </dev/null)
[[ $out == *"FIM DO CUPOM"* ]] || { echo "$out"; echo "the packaged ecf-cli printed no coupon"; exit 1; }
echo "package ok: $(basename "$deb")"
