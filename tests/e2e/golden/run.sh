#!/usr/bin/env bash
# Golden traces: every ecf-cli command on every model code (and a few refusals and canned
# replies), each on a fresh demo database; the printer calls and boxes of each run are compared
# with the expected file in this folder.
#   run.sh ECF_CLI            compare; exit 1 and show the differences when one differs
#   run.sh ECF_CLI --update   write the expected files anew (after a change meant to alter them)
#   run.sh ECF_CLI --libraries DIR
#                             the same runs with each family's maker library taken from DIR
#                             (DIR/libstandin_<family>.so, the tests' stand-ins, loaded in the
#                             helper process); the Sigtron models, which have none, are left out
#   run.sh ECF_CLI --wine DIR the same with the Windows stand-ins in DIR (dll32phi.dll, ...,
#                             and the Sigtron control TSigDrCm.ocx, built with MinGW) in the
#                             Windows helper under Wine, all ten model codes, in a Wine prefix
#                             of the run's own (or WINEPREFIX) with one Wine server kept running
set -uo pipefail
cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mode=${2:-compare}
libraries="" windows=""
if [ "$mode" = "--libraries" ]; then
  libraries=$(cd "$3" && pwd)
  mode=compare
elif [ "$mode" = "--wine" ]; then
  windows=$(cd "$3" && pwd)
  mode=compare
fi
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/ecf-golden.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ -n "$windows" ]; then
  if ! command -v "${ECF_WINE:-wine}" >/dev/null || ! command -v wineserver >/dev/null; then
    echo "golden traces under Wine need wine, wine32:i386 (scripts/setup.sh install)" >&2
    exit 77
  fi
  # The prefix is made once for the run, and its server runs until the end (started before
  # the clock is frozen below, which it must not see).
  export WINEPREFIX=${WINEPREFIX:-$work/wine} WINEDEBUG=${WINEDEBUG:--all}
  [ -f "$WINEPREFIX/.update-timestamp" ] ||
    WINEDLLOVERRIDES="mscoree,mshtml=" "${ECF_WINE:-wine}" wineboot.exe --init >/dev/null 2>&1
  wineserver -p
  trap 'LD_PRELOAD= wineserver -k; rm -rf "$work"' EXIT
fi

# The printer's clock is set from ours in some operations: every run reads one fixed moment.
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
if [ ! -f "$faketime_lib" ]; then
  echo "golden traces need libfaketime (Debian package faketime)" >&2
  exit 1
fi
export LD_PRELOAD=$faketime_lib FAKETIME="2026-12-01 10:00:00"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"

models=(SCHALTER2 SCHALTER30 FS345 FS300 BEMATECH SWEDA DARUMA345 FS600 BEMAFI32 MP2100)
failed=0 count=0

# scenario NAME MODEL STDIN CANNED-JSON-or-empty -- ecf-cli args...
scenario() {
  local name=$1 model=$2 input=$3 canned=$4
  shift 5
  local run="$work/$model-$name"
  local libenv=()
  if [ -n "$libraries" ]; then
    case $model in
      SCHALTER*) libenv=(ECF_LIB_SCHALTER="$libraries/libstandin_schalter.so") ;;
      BEMATECH) libenv=(ECF_LIB_MP20="$libraries/libstandin_mp20.so") ;;
      SWEDA) libenv=(ECF_LIB_SWEDA="$libraries/libstandin_sweda.so") ;;
      DARUMA345 | FS600) libenv=(ECF_LIB_DARUMA="$libraries/libstandin_daruma.so") ;;
      BEMAFI32 | MP2100) libenv=(ECF_LIB_BEMAFI32="$libraries/libstandin_bemafi32.so") ;;
      *) return ;;
    esac
  elif [ -n "$windows" ]; then
    case $model in
      SCHALTER*) libenv=(ECF_LIB_SCHALTER="$windows/dll32phi.dll") ;;
      BEMATECH) libenv=(ECF_LIB_MP20="$windows/Mp20fi32.dll") ;;
      SWEDA) libenv=(ECF_LIB_SWEDA="$windows/SWECF.DLL") ;;
      DARUMA345 | FS600) libenv=(ECF_LIB_DARUMA="$windows/Daruma32.dll") ;;
      BEMAFI32 | MP2100) libenv=(ECF_LIB_BEMAFI32="$windows/BEMAFI32.DLL") ;;
      FS345 | FS300) libenv=(ECF_LIB_SIGTRON="$windows/TSigDrCm.ocx") ;;
      *) return ;;
    esac
  fi
  mkdir -p "$run"
  "$cli" make-demo "$run/db" --model "$model" >/dev/null || { echo "make-demo failed: $model" >&2; failed=1; return; }
  local env=(VANTIS_DIR="$run/db" ECF_TRACE="$run/trace.jsonl" ECF_STATE_DIR="$run/state" "${libenv[@]}")
  if [ -n "$canned" ]; then
    printf '%s\n' "$canned" >"$run/canned.json"
    env+=(ECF_EMULATOR="$run/canned.json")
  fi
  (cd "$run/db" && printf '%b' "$input" | env "${env[@]}" "$cli" "$@" >"$run/stdout" 2>"$run/stderr")
  # What a printer receives and what the operator sees: the call and box lines.
  grep -E '^\{"ev":"(call|ui)"' "$run/trace.jsonl" 2>/dev/null | sed "s|$work|TMP|g" >"$run/got" || true
  local want="$here/$model/$name.jsonl"
  count=$((count + 1))
  if [ "$mode" = "--update" ]; then
    mkdir -p "$here/$model"
    cp "$run/got" "$want"
  elif ! diff -u "$want" "$run/got" >"$run/diff" 2>&1; then
    echo "== golden trace differs: $model/$name" >&2
    head -n 40 "$run/diff" >&2
    failed=1
  fi
}

for m in "${models[@]}"; do
  scenario print "$m" 'sim\nsim\nsim\n' '' -- print
  scenario x-reading "$m" 'sim\n' '' -- x-reading
  scenario x-reading-no "$m" 'nao\n' '' -- x-reading
  scenario z-reduction "$m" 'segredo\n1\nsenha1\nsim\n' '' -- z-reduction
  scenario z-reduction-bad-password "$m" 'errada\n' '' -- z-reduction
  scenario cancel-last "$m" 'sim\n' '' -- cancel-last
  scenario close-open "$m" 'sim\n' '' -- close-open
  scenario payment-forms "$m" '' '' -- payment-forms
  scenario fiscal-memory "$m" '' '' -- fiscal-memory 01/11/2026 30/11/2026
  scenario fiscal-memory-empty "$m" '' '' -- fiscal-memory "" ""
done

# Refusals and odd replies from the printer.
scenario print-item-refused SCHALTER30 'sim\nsim\nsim\n' '{"calls":{"ecfVenda_Item":[{"ret":0},{"ret":1}]}}' -- print
scenario print-item-refused DARUMA345 'sim\nsim\nsim\n' '{"calls":{"Daruma_FI_VendeItem":[{"ret":1},{"ret":-1}]}}' -- print
scenario print-item-refused BEMAFI32 'sim\nsim\nsim\n' '{"calls":{"Bematech_FI_VendeItem":[{"ret":0}]}}' -- print
scenario print-open-refused FS345 'sim\nsim\nsim\n' '{"calls":{"Open":[{"ret":false,"times":3}]}}' -- print
scenario print-no-reply-file BEMATECH 'sim\nsim\nsim\n' '{"calls":{"FormataTX":[{"ret":0,"out":null}]}}' -- print
scenario print-odd-reply SWEDA 'sim\nsim\nsim\n' '{"calls":{"SwedaRead":[{"out":"?"}]}}' -- print

if [ "$mode" = "--update" ]; then
  echo "golden traces written: $count runs"
  exit 0
fi
[ "$failed" -eq 0 ] && echo "golden traces: $count runs, all as expected"
exit "$failed"
