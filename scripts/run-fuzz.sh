#!/bin/sh
# Runs every fuzz harness of a `make fuzz` tree for the given number of seconds, one after the
# other, each on its own corpus (seeded by scripts/fuzz-seeds.py). Ends with status 1 when a
# harness found a crash, a leak, a hang or a failed check; the input is kept in the tree.
# Usage: scripts/run-fuzz.sh BUILD_DIR SECONDS [HARNESS...]
# With harness names (such as table_reader_fuzz) only those run.
set -u
tree=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
found=0
for harness in "$tree"/*_fuzz; do
    [ -x "$harness" ] || continue
    name=$(basename "$harness")
    if [ $# -gt 0 ]; then
        chosen=0
        for wanted in "$@"; do [ "$wanted" = "$name" ] && chosen=1; done
        [ $chosen = 1 ] || continue
    fi
    corpus="$tree/corpus/$name"
    findings="$tree/findings/$name"
    mkdir -p "$corpus" "$findings"
    python3 "$here/fuzz-seeds.py" "$name" "$corpus"
    echo "== $name for $seconds s"
    if "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$tree/$name.log" 2>&1; then
        grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+.*DONE)" "$tree/$name.log" | tail -3
    else
        found=1
        echo "$name found a fault: see $tree/$name.log and $findings"
        tail -20 "$tree/$name.log"
    fi
done
exit $found
