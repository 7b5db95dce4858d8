#!/bin/bash
# Builds vela_bench into build-bench/, generates the 100 KB, 1 MB and 10 MB
# pages and their coloured .kvd files with it, and prints every figure next to
# its reference from the same run, with the ratio and the target.
# Usage: bench/run.sh [RUNS]   (whole-process runs per figure, default 5)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build-bench"
RUNS="${1:-5}"
OPS_RUNS="$RUNS"

need() { command -v "$1" >/dev/null 2>&1 || apt-get install -y "$2" >/dev/null; }
[ -x /usr/bin/time ] || apt-get install -y time >/dev/null
need kate-syntax-highlighter libkf5syntaxhighlighting-tools
need unrtf unrtf

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target vela_bench >/dev/null
TOOL="$BUILD/bin/vela_bench"

WORK="$BUILD/bench-data"
mkdir -p "$WORK"
cd "$WORK"   # the main window claims its undo snapshot file in the current folder
export QT_QPA_PLATFORM=offscreen
for size in 100K:102400 1M:1048576 10M:10485760; do
    name=${size%%:*}; bytes=${size##*:}
    if [ ! -s "page$name.kvd" ]; then
        "$TOOL" gen "$bytes" "page$name.htm" "page$name.kvd"
        iconv -f CP932 -t UTF-8 "page$name.htm" > "page$name.utf8.htm"
    fi
done

# Median wall seconds and peak KiB of RUNS whole-process runs of a command.
whole() {
    local walls=() peaks=()
    for _ in $(seq "$RUNS"); do
        /usr/bin/time -v -o time.out "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; }
        walls+=("$(awk -F': ' '/Elapsed/ {n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; print s}' time.out)")
        peaks+=("$(awk -F': ' '/Maximum resident/ {print $2}' time.out)")
    done
    local wall peak
    wall=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    peak=$(printf '%s\n' "${peaks[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    echo "$wall $peak"
}

declare -A MS PEAK   # figure name -> milliseconds; size -> peak KiB
row() { # figure reference-name value-ms ref-ms target
    awk -v f="$1" -v r="$2" -v v="$3" -v ref="$4" -v t="$5" 'BEGIN {
        ratio = (ref > 0) ? v / ref : 0
        met = (t == "-") ? "-" : ((ratio <= t) ? "yes" : "NO")
        printf "%-34s %10.1f ms | %-26s %10.1f ms | %7.2fx | <=%-5s | %s\n", f, v, r, ref, ratio, t, met }'
}
plainrow() { printf "%-34s %10.1f ms | %s\n" "$1" "$2" "$3"; }

declare -A PLAINPEAK
for name in 100K 1M 10M; do
    read -r w p < <(whole "$TOOL" import "page$name.htm"); MS[import_$name]=$(awk -v w="$w" 'BEGIN{print w*1000}'); PEAK[$name]=$p
    read -r w p < <(whole "$TOOL" plain "page$name.utf8.htm"); MS[plain_$name]=$(awk -v w="$w" 'BEGIN{print w*1000}'); PLAINPEAK[$name]=$p
    read -r w _ < <(whole kate-syntax-highlighter -s HTML -f ansi -o /dev/null "page$name.utf8.htm"); MS[kate_$name]=$(awk -v w="$w" 'BEGIN{print w*1000}')
    read -r w _ < <(whole unrtf --text "page$name.kvd"); MS[unrtf_$name]=$(awk -v w="$w" 'BEGIN{print w*1000}')
    while read -r k v; do MS[${k}_$name]=$v; done < <("$TOOL" ops "page$name.htm" "page$name.kvd" "$OPS_RUNS")
    while read -r k v; do MS[${k}_$name]=$v; done < <("$TOOL" proxy "page$name.htm" "$OPS_RUNS" 2>/dev/null)
done 2>/dev/null
read -r w _ < <(whole "$TOOL" start); MS[start]=$(awk -v w="$w" 'BEGIN{print w*1000}')
read -r w _ < <(whole "$TOOL" bare); MS[bare]=$(awk -v w="$w" 'BEGIN{print w*1000}')

# Keystroke limits: a frame at 10 MB, half of one below.
key_limit() { [ "$1" = 10M ] && echo 16 || echo 8; }
keyrow() { # figure value-ms limit-ms
    awk -v f="$1" -v v="$2" -v t="$3" 'BEGIN { printf "%-34s %10.1f ms | %-26s %10s    |         | <=%-5s | %s\n", f, v, "frame budget", t " ms", t "ms", (v <= t) ? "yes" : "NO" }'
}

echo "# $(date -u +%FT%TZ) $(nproc) cores, runs=$RUNS (medians)"
for n in 100K 1M 10M; do
    row "open .htm import+refresh $n" "kate-syntax-highlighter" "${MS[import_$n]}" "${MS[kate_$n]}" 1.0
    row "open .htm import+refresh $n" "bare Qt plain-text widget" "${MS[import_$n]}" "${MS[plain_$n]}" 1.5
    row "refresh uncoloured $n" "kate-syntax-highlighter" "${MS[refresh_uncoloured_$n]}" "${MS[kate_$n]}" 0.5
    row "refresh repeat $n" "kate-syntax-highlighter" "${MS[refresh_repeat_$n]}" "${MS[kate_$n]}" 0.2
    row "refresh after 8 typed tags $n" "kate-syntax-highlighter" "${MS[refresh_after_typing_$n]}" "${MS[kate_$n]}" 0.2
    row "undo snapshot (RTF write) $n" "fwrite of the RTF" "${MS[undo_snapshot_$n]}" "${MS[fwrite_rtf_$n]}" 20
    keyrow "Enter keystroke to paint $n" "${MS[enter_key_$n]}" "$(key_limit $n)"
    keyrow "character keystroke to paint $n" "${MS[char_key_$n]}" "$(key_limit $n)"
    keyrow "Backspace keystroke to paint $n" "${MS[backspace_key_$n]}" "$(key_limit $n)"
    keyrow "Ctrl+End to paint $n" "${MS[ctrl_end_$n]}" 16
    row "RTF read .kvd to paint $n" "unrtf --text" "${MS[rtf_read_$n]}" "${MS[unrtf_$n]}" 0.3
    row "export $n" "fwrite of the text" "${MS[export_$n]}" "${MS[fwrite_text_$n]}" 30
    row "find match case $n" "memmem" "${MS[find_case_$n]}" "${MS[memmem_$n]}" 2
    row "find ignore case $n" "memmem" "${MS[find_nocase_$n]}" "${MS[memmem_$n]}" 3
    plainrow "memchr scan for < > $n" "${MS[memchr_scan_$n]}" "(limit proxy)"
    awk -v p="${PEAK[$n]}" -v b="${PLAINPEAK[$n]}" -v n="$n" 'BEGIN { printf "%-34s %10.1f MiB | %-26s %10.1f MiB| %7.2fx | <=1.2   | %s\n", "peak memory, import " n, p / 1024, "bare Qt plain-text widget", b / 1024, p / b, (p / b <= 1.2) ? "yes" : "NO" }'
done
for k in import refresh_uncoloured refresh_repeat refresh_after_typing undo_snapshot enter_key char_key backspace_key ctrl_end rtf_read export find_case find_nocase; do
    row "10M/1M $k" "1M figure" "${MS[${k}_10M]}" "${MS[${k}_1M]}" 10
done
row "start to first paint" "bare Qt window + QTextEdit" "${MS[start]}" "${MS[bare]}" 2
