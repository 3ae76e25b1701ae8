#!/usr/bin/env bash
# Set-up, build, demo and tests of ECF on Debian 12.
#   scripts/setup.sh demo   install, build, make a demo database and print its coupon on the emulated printer
#   scripts/setup.sh test   install, build and run the whole test suite (what CI runs)
#   scripts/setup.sh build  install and build only
#   scripts/setup.sh package  install and make the Debian package build-pkg/ecf_VERSION_ARCH.deb
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
jobs=$(nproc 2>/dev/null || echo 2)
# A compiler cache speeds up rebuilds when one is installed; nothing needs it.
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  nlohmann-json3-dev libgtest-dev libgmock-dev
  pxlib-dev clang libclang-rt-14-dev faketime
  libffi-dev
  xvfb xauth
  dpkg-dev lintian desktop-file-utils
)
# With the multilib compiler the build adds ecf-maker-host32, for makers' 32-bit libraries.
optional_packages=(g++-multilib)
# The makers' Windows libraries: MinGW-w64 builds the Windows helper ecf-maker-host32.exe (and
# the tests' Windows stand-ins), Wine with its 32-bit part runs it (i386 architecture added).
wine_packages=(g++-mingw-w64-i686 wine wine32:i386)

install() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "== installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  for p in "${optional_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" && continue
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$p" >/dev/null 2>&1 ||
      echo "== $p is not available: no 32-bit helper for makers' 32-bit libraries"
  done
  install_wine
}

install_wine() {
  local missing=()
  for p in "${wine_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "== installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    echo "== Wine or MinGW-w64 could not be installed: no Windows helper, the Wine tests are skipped"
}

configure() {
  cmake -S . -B build -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
}

build() {
  echo "== building build/ (ecf, ecf-cli, tests)"
  configure
  cmake --build build -j"$jobs"
}

# The demo runs the two programs only.
build_programs() {
  echo "== building build/ecf and build/ecf-cli"
  configure
  cmake --build build -j"$jobs" --target ecf ecf-cli
}

# Built as build/ is (cpack strips the debug information), without the tests.
package() {
  echo "== building the Debian package in build-pkg/"
  cmake -S . -B build-pkg -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DECF_BUILD_TESTS=OFF >/dev/null
  cmake --build build-pkg -j"$jobs"
  (cd build-pkg && cpack -G DEB >/dev/null)
  local deb
  deb=$(ls "$here"/build-pkg/ecf_*.deb)
  echo "== made $deb"
  dpkg-deb -f "$deb" Package Version Architecture Depends Recommends Suggests
  if command -v lintian >/dev/null 2>&1; then
    echo "== lintian (nothing below this line: nothing to report)"
    lintian --no-cfg "$deb" 2>/dev/null || true
  fi
  echo "install it with: apt-get install $deb"
}

demo() {
  local db="$here/build/demo-db"
  rm -rf "$db"
  mkdir -p "$db"
  ./build/ecf-cli make-demo "$db"
  echo "== ecf-cli print on the demo database ($db), model $(./build/ecf-cli show-model "$db" 2>/dev/null || echo ?)"
  rm -f "$db/trace.jsonl"
  local rc=0
  (cd "$db" && VANTIS_DIR="$db" ECF_TRACE="$db/trace.jsonl" "$here/build/ecf-cli" print --show-paper <<<"sim") || rc=$?
  echo "== what was sent to the printer"
  ./build/ecf-cli show-trace "$db/trace.jsonl"
  return $rc
}

run_tests() {
  echo "== sanitizer build (address, undefined) and the test suite"
  cmake -S . -B build-san -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Debug -DECF_SANITIZE=ON >/dev/null
  cmake --build build-san -j"$jobs"
  local log="$here/build-san/ctest-summary.log"
  (cd build-san && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$here/tests/lsan.supp" \
    ctest --output-on-failure -j"$jobs") | tee "$log"
  local rc=${PIPESTATUS[0]}
  if [ "$rc" -ne 0 ]; then
    echo "== the test suite failed (ctest exit $rc)" >&2
    return "$rc"
  fi
  echo "== fuzzing the table reader (bounded)"
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DECF_BUILD_FUZZ=ON \
    -DECF_BUILD_GUI=OFF -DECF_BUILD_TESTS=ON >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzz_paradox_reader
  scripts/fuzz.sh build-fuzz "${ECF_FUZZ_SECONDS:-90}"
  # The suite's count once more, as the last line.
  local failed total
  failed=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  total=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log" | tail -n 1)
  echo "tests: $((total - failed)) passed, $failed failed"
}

case "${1:-}" in
  build) install; build ;;
  demo) install; build_programs; demo ;;
  test) install; build; run_tests ;;
  package) install; package ;;
  *) echo "usage: scripts/setup.sh demo|test|build|package" >&2; exit 2 ;;
esac
