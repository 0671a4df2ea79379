#!/usr/bin/env bash
# Times (wall-clock seconds) cvascript against Wine's cscript on each benchmark script of this folder and
# prints a table of seconds and the speed ratio. Usage:
#   bench/vbscript/compare.sh [path/to/cvascript]
# The default cvascript is build/src/cli/script/cvascript under the source tree.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cva="${1:-$root/build/src/cli/script/cvascript}"
if [ ! -x "$cva" ]; then
    echo "cvascript not found at $cva (build the cvascript target first)" >&2
    exit 1
fi
if ! command -v wine >/dev/null 2>&1; then
    echo "wine is not installed" >&2
    exit 1
fi

# Wall-clock milliseconds of the command (Wine runs the script in other processes, so
# processor time of the command itself would not count its work).
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/tmp/cva-bench-out.$$ 2>/dev/null
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

# Wine resolves script paths relative to the current folder most reliably.
cd "$here"
printf '%-18s %12s %12s %8s  %s\n' "script" "cvascript s" "cscript s" "ratio" "same output"
for script in "$here"/*.vbs; do
    file=$(basename "$script")
    name=${file%.vbs}
    # Best of three for cvascript: its runs are short and other load shows up in them.
    ms_cva=""
    for _ in 1 2 3; do
        ms=$(seconds "$cva" //nologo "$file")
        if [ -z "$ms_cva" ] || [ "$ms" -lt "$ms_cva" ]; then ms_cva=$ms; fi
    done
    out_cva=$(cat /tmp/cva-bench-out.$$)
    ms_wine=$(seconds wine cscript //nologo "$file")
    out_wine=$(tr -d '\r' </tmp/cva-bench-out.$$)
    same=yes
    [ "$out_cva" = "$out_wine" ] || same=no
    ratio=$(awk -v a="$ms_wine" -v b="$ms_cva" 'BEGIN { if (b < 1) b = 1; printf "%.1fx", a / b }')
    printf '%-18s %12.3f %12.3f %8s  %s\n' "$name" \
        "$(awk -v m="$ms_cva" 'BEGIN { print m / 1000 }')" \
        "$(awk -v m="$ms_wine" 'BEGIN { print m / 1000 }')" "$ratio" "$same"
done
rm -f /tmp/cva-bench-out.$$
