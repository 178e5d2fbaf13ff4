#!/usr/bin/env bash
# Batch labels against a peer: N EAN-13 labels written as PNG files by
# `vandrel render --db` and by `zint --batch`, each run a few times; prints the
# median times per label of each and their ratios. Run by hand, not by the tests:
#   bash bench/batch.sh [path/to/vandrel] [labels] [runs]
# The files go below $TMPDIR (TMPDIR=/dev/shm leaves the disk out).
set -euo pipefail

vandrel=${1:-build/vandrel}
labels=${2:-2000}
runs=${3:-3}
command -v zint >/dev/null || { echo "batch.sh: zint is not installed" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "batch.sh: sqlite3 is not installed" >&2; exit 1; }
[[ -x $vandrel ]] || { echo "batch.sh: no vandrel at '$vandrel'" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same values for both: 12 digits and their EAN-13 check digit.
awk -v n="$labels" 'BEGIN {
    for (i = 0; i < n; i++) {
        base = sprintf("40%010d", i * 7919 % 10000000000)
        sum = 0
        for (k = 1; k <= 12; k++) sum += substr(base, k, 1) * (k % 2 ? 1 : 3)
        print base (10 - sum % 10) % 10
    }
}' >"$work/values.txt"
{
    echo "CREATE TABLE labels (id INTEGER PRIMARY KEY, ean TEXT);"
    echo "BEGIN;"
    awk '{ printf "INSERT INTO labels (ean) VALUES (\x27%s\x27);\n", $0 }' "$work/values.txt"
    echo "COMMIT;"
} | sqlite3 "$work/labels.sqlite"

# One run of a command writing into the directory $out: "wall cpu" in
# seconds, processor time being user + system. The machine may be shared;
# processor time is then the steadier of the two.
timed() {
    local t wall user sys
    t=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>"$work/err"; } 2>&1) || { cat "$work/err" >&2; exit 1; }
    [[ $(find "$out" -type f | wc -l) -eq $labels ]] || { echo "batch.sh: $1 wrote the wrong count" >&2; exit 1; }
    read -r wall user sys <<<"$t"
    echo "$wall $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
}

# The two take turns, each run into a directory of its own: nothing is
# deleted while the runs last, which would slow the file system's inode
# allocation for whichever ran next.
for ((r = 0; r < runs; r++)); do
    out="$work/vandrel-$r" && mkdir "$out"
    timed "$vandrel" render --type EAN13 --db "$work/labels.sqlite" --sql "SELECT ean FROM labels ORDER BY id" \
        --field ean -o "$out/%04d.png" >>"$work/vandrel.times"
    out="$work/zint-$r" && mkdir "$out"
    timed zint -b EANX --batch -i "$work/values.txt" -o "$out/~~~~.png" >>"$work/zint.times"
done

# The median of column `column` of a times file.
median() { sort -g -k"$2" "$1" | awk -v c="$2" -v m=$(((runs + 1) / 2)) 'NR == m { print $c }'; }
ours_wall=$(median "$work/vandrel.times" 1) ours_cpu=$(median "$work/vandrel.times" 2)
peer_wall=$(median "$work/zint.times" 1) peer_cpu=$(median "$work/zint.times" 2)

per_label() { awk -v t="$1" -v n="$labels" 'BEGIN { printf "%.1f", t * 1e6 / n }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%d EAN-13 labels to PNG, medians of %d runs, microseconds a label\n' "$labels" "$runs"
printf '  %-22s %10s %10s\n' "" wall cpu
printf '  %-22s %10s %10s\n' "vandrel render --db" "$(per_label "$ours_wall")" "$(per_label "$ours_cpu")"
printf '  %-22s %10s %10s\n' "zint --batch" "$(per_label "$peer_wall")" "$(per_label "$peer_cpu")"
printf '  %-22s %10s %10s\n' "ratio vandrel/zint" "$(ratio "$ours_wall" "$peer_wall")" "$(ratio "$ours_cpu" "$peer_cpu")"
