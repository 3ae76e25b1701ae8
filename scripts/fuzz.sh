#!/usr/bin/env bash
# Runs the table reader's fuzz target for a bounded time.
#   scripts/fuzz.sh BUILD_DIR SECONDS
# The seeds are the sample tables and the corpus of real tables from the shared folder beside
# the checkout (ECF_SAMPLES_DIR, ECF_CORPUS_DIR name others), each .DB also joined with its .MB,
# copied to a temporary folder outside the repository; without them the fuzzer starts from
# nothing. Exits non-zero on a crash, a hang (10 s per input) or a sanitizer report; the
# failing input is kept in BUILD_DIR/fuzz-artifacts/.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh BUILD_DIR SECONDS" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=$2
fuzzer="$build/fuzz_paradox_reader"
samples="${ECF_SAMPLES_DIR:-$here/../shared/paradox-samples}"
tables="${ECF_CORPUS_DIR:-$here/../shared/paradox-corpus}"
[ -x "$fuzzer" ] || { echo "fuzz.sh: $fuzzer not built (cmake --build $1 --target fuzz_paradox_reader)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/ecf-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts" "$build/fuzz-artifacts"
# Seeds: every table file (named after its path, so that equal names do not collide) and each
# .DB joined with its .MB.
sep=$'\n--ECF-MB--\n'
seed() { # FOLDER: the table files under it, apart from dumps and notes
  local from=$1 f db stem mb name
  while IFS= read -r -d '' f; do
    name=$(printf '%s' "${f#"$from"/}" | tr '/+ ' '___')
    cp "$f" "$work/corpus/$name"
  done < <(find "$from" -type f ! -path '*/expected/*' ! -name '*.md' ! -name '*.txt' ! -name '*.tsv' -print0)
  while IFS= read -r -d '' db; do
    stem="${db%.*}"
    for mb in "$stem.MB" "$stem.mb"; do
      if [ -f "$mb" ]; then
        name=$(printf '%s' "${stem#"$from"/}" | tr '/+ ' '___')
        { cat "$db"; printf '%s' "$sep"; cat "$mb"; } >"$work/corpus/$name.with-mb"
        break
      fi
    done
  done < <(find "$from" -type f -iname '*.db' ! -path '*/expected/*' -print0)
}
for from in "$samples" "$tables"; do
  if [ -d "$from" ]; then
    seed "$from"
  else
    echo "fuzz.sh: no tables at $from (the shared folder beside the checkout); fuzzing without them" >&2
  fi
done
chmod -R u+w "$work/corpus"

echo "== fuzzing the table reader for ${seconds}s"
rc=0
"$fuzzer" "$work/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=131072 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 >"$work/log" 2>&1 || rc=$?
tail -n 25 "$work/log"
if [ "$rc" -ne 0 ] || ls "$work/artifacts"/* >/dev/null 2>&1; then
  cp "$work/artifacts"/* "$build/fuzz-artifacts/" 2>/dev/null || true
  echo "fuzz.sh: the fuzzer found a failure (exit $rc); inputs in $build/fuzz-artifacts/" >&2
  exit 1
fi
echo "== fuzzing finished without findings"
