#!/usr/bin/env bash
# Times (wall-clock seconds, best of five) the export of a whole registry branch to a
# .reg file by cva-reg against the tools that otherwise read the same data:
#   - the SYSTEM hive of ../shared/hives (a real Windows hive, 11.7 MB), exported by
#     cva-reg from an offline disk holding it and by hivexregedit --export from the file;
#   - HKLM\Software of a fresh Wine prefix (a copy; the original is not touched),
#     exported by cva-reg and by Wine's regedit /E, with the wineserver already running
#     (warm) and starting it (cold).
# Prints seconds, the speed ratio and the number of keys each file holds. Usage:
#   bench/export/compare.sh [path/to/cva-reg] [fresh wine prefix]
# The default cva-reg is build/src/cli/reg/cva-reg under the source tree; the prefix
# defaults to $CVA_BENCH_PREFIX, else one is made with wineboot. The hives are looked
# for in $CVA_SHARED_DIR/hives, by default ../shared/hives beside the source tree.
# Needs hivexregedit (Debian: libwin-hivex-perl) and wine.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
cva="${1:-$root/build/src/cli/reg/cva-reg}"
prefix="${2:-${CVA_BENCH_PREFIX:-}}"
archive="${CVA_SHARED_DIR:-$root/../shared}/hives/windows-hives.tar.xz"
runs=5

if [ ! -x "$cva" ]; then
    echo "cva-reg not found at $cva (build the cva-reg target first)" >&2
    exit 1
fi
for tool in hivexregedit wine tar; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed" >&2
        exit 1
    fi
done
if [ ! -f "$archive" ]; then
    echo "the Windows hives are not at $archive" >&2
    exit 1
fi

work=$(mktemp -d /tmp/cva-bench-export.XXXXXX)
cleanup() {
    [ -d "$work/prefix" ] && WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
# The programs' own settings stay in the scratch folder.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" WINEDEBUG=-all

# A disk laid out as Windows keeps its hives; SOFTWARE must be there to open the disk
# and any clean hive serves, as only SYSTEM is exported.
config="$work/disk/Windows/System32/config"
mkdir -p "$config" "$work/hives"
tar -xJf "$archive" -C "$work/hives" SYSTEM SAM
cp "$work/hives/SYSTEM" "$config/SYSTEM"
cp "$work/hives/SAM" "$config/SOFTWARE"

if [ -z "$prefix" ]; then
    echo "making a fresh Wine prefix (wineboot)..." >&2
    WINEPREFIX="$work/fresh" wineboot -i >/dev/null 2>&1
    WINEPREFIX="$work/fresh" wineserver -w
    prefix="$work/fresh"
fi
cp -a "$prefix" "$work/prefix"

# Milliseconds of one run of the command: wall-clock, and processor time (user and
# system, the command's children included).
measure() {
    local TIMEFORMAT='%R %U %S' t
    t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
    awk -v t="$t" 'BEGIN { split(t, f, " "); printf "%d %d\n", f[1] * 1000, (f[2] + f[3]) * 1000 }'
}

# Best of the runs, wall-clock and processor time each: "WALL CPU".
best() {
    local wall="" cpu="" w c
    for _ in $(seq "$runs"); do
        read -r w c < <(measure "$@")
        if [ -z "$wall" ] || [ "$w" -lt "$wall" ]; then wall=$w; fi
        if [ -z "$cpu" ] || [ "$c" -lt "$cpu" ]; then cpu=$c; fi
    done
    echo "$wall $cpu"
}

# Keys in a .reg file, UTF-16 (regedit version 5) or 8-bit.
keys() {
    if [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = "fffe" ]; then
        iconv -f UTF-16 -t UTF-8 "$1" | grep -c '^\['
    else
        grep -c '^\[' "$1"
    fi
}

row() {
    local name=$1 ms_cva=$2 ms_other=$3 keys_cva=$4 keys_other=$5
    awk -v n="$name" -v a="$ms_cva" -v b="$ms_other" -v k="$keys_cva" -v l="$keys_other" \
        'BEGIN { if (a < 1) a = 1; printf "%-38s %9.3f %9.3f %7.1fx %8d %8d\n", n, a / 1000, b / 1000, b / a, k, l }'
}

printf '%-38s %9s %9s %8s %8s %8s\n' "export (best of $runs)" "cva-reg s" "other s" "ratio" "keys" "other"

read -r wall_cva cpu_cva < <(best "$cva" --target "offline:$work/disk" export 'HKLM\SYSTEM' "$work/system-cva.reg" /y)
read -r wall_hivex cpu_hivex < <(best sh -c 'hivexregedit --export "$1" "\\" >"$2"' sh "$work/hives/SYSTEM" "$work/system-hivex.reg")
keys_cva=$(keys "$work/system-cva.reg")
keys_hivex=$(keys "$work/system-hivex.reg")
row "SYSTEM hive / hivexregedit, wall" "$wall_cva" "$wall_hivex" "$keys_cva" "$keys_hivex"
row "SYSTEM hive / hivexregedit, processor" "$cpu_cva" "$cpu_hivex" "$keys_cva" "$keys_hivex"

# Wine's regedit does its work in the wineserver, another process: wall-clock only.
read -r wall_cva _ < <(best "$cva" --target "wine:$work/prefix" export 'HKLM\Software' "$work/software-cva.reg" /y)
export WINEPREFIX="$work/prefix"
read -r wall_cold _ < <(measure wine regedit /E "$work/software-wine.reg" 'HKEY_LOCAL_MACHINE\Software')
wineserver -w
wineserver -p
read -r wall_warm _ < <(best wine regedit /E "$work/software-wine.reg" 'HKEY_LOCAL_MACHINE\Software')
keys_cva=$(keys "$work/software-cva.reg")
keys_wine=$(keys "$work/software-wine.reg")
row "HKLM\\Software / wine regedit warm, wall" "$wall_cva" "$wall_warm" "$keys_cva" "$keys_wine"
row "HKLM\\Software / wine regedit cold, wall" "$wall_cva" "$wall_cold" "$keys_cva" "$keys_wine"
echo "cva-reg's SYSTEM export also holds CurrentControlSet (a link to ControlSet00N, written" \
     "out as Windows' regedit does), which the hive file itself does not."
