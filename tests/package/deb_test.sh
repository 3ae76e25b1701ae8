#!/usr/bin/env bash
# The Debian package of this build: made with cpack from the build's own programs, unpacked
# into a temporary root, checked for its files and declared dependencies, its ecf-cli run as the
# README's examples run it, and lintian run on it when installed (no error or warning).
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
expect=(usr/bin/ecf usr/bin/ecf-cli usr/libexec/ecf/ecf-maker-host usr/share/applications/ecf.desktop
  usr/share/icons/hicolor/scalable/apps/ecf.svg usr/share/man/man1/ecf-cli.1.gz usr/share/man/man1/ecf.1.gz
  usr/share/doc/ecf/README.md usr/share/doc/ecf/copyright usr/share/doc/ecf/changelog.gz)
# The build's optional helpers go into the package with it.
for helper in ecf-maker-host32 ecf-maker-host32.exe; do
  [ -e "$build/$helper" ] && expect+=("usr/libexec/ecf/$helper")
done
for f in "${expect[@]}"; do
  [ -e "$root/$f" ] || { echo "missing from the package: /$f"; dpkg-deb -c "$deb"; exit 1; }
done
[[ $(dpkg-deb -f "$deb" Suggests) == *wine* ]] || { echo "the package does not suggest Wine"; exit 1; }
if command -v man >/dev/null; then
  for page in ecf-cli ecf; do
    man -l "$root/usr/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "EXIT STATUS" \
      || { echo "the manual page of $page does not read"; exit 1; }
  done
fi

# The packaged programs answer as the README says, and ecf-cli prints the demo coupon on the
# emulated printer.
cli=$root/usr/bin/ecf-cli
"$cli" help | grep -q "^usage: ecf-cli COMMAND" || { echo "the packaged ecf-cli help printed no usage"; exit 1; }
if [ -e "$root/usr/bin/ecf" ]; then
  "$root/usr/bin/ecf" --version | grep -q "^ecf [0-9]" || { echo "the packaged ecf --version printed no version"; exit 1; }
  "$root/usr/bin/ecf" --help | grep -q "^uso: ecf" || { echo "the packaged ecf --help printed no usage"; exit 1; }
  # Without a display: one line saying so, status 1 (not Qt's abort).
  status=0
  said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/ecf" 2>&1) || status=$?
  [ "$status" -eq 1 ] && [ "$(wc -l <<<"$said")" -eq 1 ] && [[ $said == *"tela gráfica"* ]] \
    || { echo "$said"; echo "the packaged ecf without a display ended with status $status"; exit 1; }
fi
"$cli" make-demo "$tmp/db" --model FS345 >/dev/null
out=$(cd "$tmp/db" && VANTIS_DIR="$tmp/db" ECF_STATE_DIR="$tmp/state" "$cli" print --show-paper </dev/null)
[[ $out == *"FIM DO CUPOM"* ]] || { echo "$out"; echo "the packaged ecf-cli printed no coupon"; exit 1; }
# Installed, the programs find their helpers in /usr/libexec/ecf: the packaged ecf-cli prints
# through the tests' stand-in maker library, and reaches the 32-bit stand-in (a few functions
# only, so its coupon stops at the first item) through the 32-bit helper, when the build has them.
for standin in "$build"/stand_ins/libstandin_daruma.so "$build"/stand_ins/libstandin_daruma32.so; do
  [ -e "$standin" ] || continue
  rm -rf "$tmp/db" "$tmp/state"
  "$cli" make-demo "$tmp/db" --model DARUMA345 >/dev/null
  status=0
  err=$(cd "$tmp/db" && VANTIS_DIR="$tmp/db" ECF_STATE_DIR="$tmp/state" ECF_LIB_DARUMA="$standin" "$cli" print </dev/null 2>&1 >/dev/null) \
    || status=$?
  if [[ $standin == *32.so ]]; then
    [ -e "$root/usr/libexec/ecf/ecf-maker-host32" ] || continue
    [[ $err == *"Erro na venda"* || $err == *"not printed whole"* ]] \
      || { echo "$err"; echo "the packaged ecf-cli did not reach the 32-bit library"; exit 1; }
  else
    [ "$status" -eq 0 ] || { echo "$err"; echo "the packaged ecf-cli did not print through its helper"; exit 1; }
  fi
  [[ $err == *"biblioteca $standin"* && $err != *"auxiliar"* ]] \
    || { echo "$err"; echo "the packaged ecf-cli did not use the library through its helper"; exit 1; }
done

# lintian, when installed: no error and no warning at its default level.
if command -v lintian >/dev/null; then
  report=$(lintian --no-cfg "$deb" 2>&1 || true)
  if grep -q "^[EW]: " <<<"$report"; then
    echo "$report"
    echo "lintian reports errors or warnings"
    exit 1
  fi
  echo "lintian: clean"
else
  echo "lintian is not installed: not run"
fi
# The desktop entry as the desktop's menus read it.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/ecf.desktop" || { echo "the desktop entry does not validate"; exit 1; }
fi
echo "package ok: $(basename "$deb")"
