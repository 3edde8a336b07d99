#!/usr/bin/env bash
# Makes tests/fixtures/fsrs-reference.tsv from the pinned ts-fsrs (tools/ts-fsrs.lock): for each
# rating sequence, a new card reviewed on each due date, no fuzz, no short-term steps, desired
# retention 0.9, the default parameters. Run by hand when the table must change; not by test.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
value() { sed -n "s/^$1=//p" "$root/tools/ts-fsrs.lock"; }
name=$(value name) version=$(value version) integrity=$(value integrity)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$name@$version" >/dev/null)
tarball="$work/$name-$version.tgz"
actual="sha512-$(sha512sum "$tarball" | awk '{print $1}' | xxd -r -p | base64 -w0)"
[ "$actual" = "$integrity" ] || { echo "integrity mismatch for $name@$version" >&2; exit 1; }
tar -xzf "$tarball" -C "$work"
cat >"$work/make.js" <<'JS'
const f = require(process.argv[2] + '/package/dist/index.cjs');
const s = f.fsrs(f.generatorParameters({ enable_fuzz: false, enable_short_term: false, request_retention: 0.9 }));
const start = new Date(Date.UTC(2026, 0, 1, 8, 0, 0));
console.log('# sequence\tdays after each rating\tstability after each\tdifficulty after each');
for (const seq of ['3333', '1333', '4444', '2222', '3131', '4123', '33333333', '2341']) {
  let card = f.createEmptyCard(start), now = start;
  const days = [], st = [], di = [];
  for (const ch of seq) {
    card = s.next(card, now, Number(ch)).card;
    days.push(card.scheduled_days);
    st.push(card.stability.toFixed(8));
    di.push(card.difficulty.toFixed(8));
    now = card.due;
  }
  console.log([seq, days.join(','), st.join(','), di.join(',')].join('\t'));
}
JS
node "$work/make.js" "$work" >"$root/tests/fixtures/fsrs-reference.tsv"
echo "wrote tests/fixtures/fsrs-reference.tsv"
