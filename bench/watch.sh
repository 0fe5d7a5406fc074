#!/usr/bin/env bash
# What tvc-watch costs while it follows sixteen devices that report every
# 10 ms: tvc-watch --follow --json --metrics against tvc-sim on
# pseudo-terminals, its JSON lines read by a pipe and its metrics scraped
# every second, as a Prometheus server would. Prints its share of a core over
# the run (user and system time from /proc) and its resident memory each
# minute, so that a growth shows.
#
#   bench/watch.sh TVC-WATCH TVC-SIM [SECONDS]   (default 3600)
set -euo pipefail
tvc_watch=$1
tvc_sim=$2
seconds=${3:-3600}
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"' EXIT

"$tvc_sim" --quiet --devices 16 --no-txu --role rxu-client --report-period 10 --signal-walk \
    < <(sleep $((seconds + 60))) >"$work/sim.out" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ "$(wc -l <"$work/sim.out")" -ge 16 ] && break; sleep 0.1; done
ports=()
while read -r pty; do ports+=(--port "$pty"); done <"$work/sim.out"
[ ${#ports[@]} -eq 32 ] || { echo "the simulator printed $(( ${#ports[@]} / 2 )) terminals"; exit 1; }
address=127.0.0.1:$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

"$tvc_watch" "${ports[@]}" --follow --json --metrics "$address" >"$work/lines" 2>"$work/err" &
watch=$!
pids+=($watch)
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$watch/stat"; }
rss() { awk '/^VmRSS/ {print $2}' "/proc/$watch/status"; }

# A few seconds to link the devices and ask for their reports.
sleep 5
curl -sf "http://$address/metrics" | grep -q 'tavero_signal_reports_total' || { echo "no metrics"; exit 1; }
start_cpu=$(cpu)
start=$(date +%s.%N)
start_lines=$(wc -l <"$work/lines")
echo "minute  resident memory (KiB)"
echo "0       $(rss)"
for ((s = 1; s <= seconds; s++)); do
    curl -sf "http://$address/metrics" >/dev/null
    sleep 1
    if ((s % 60 == 0)); then echo "$((s / 60))       $(rss)"; fi
done
used=$(( $(cpu) - start_cpu ))
elapsed=$(echo "$(date +%s.%N) - $start" | bc -l)
reports=$(curl -sf "http://$address/metrics" | awk '/^tavero_signal_reports_total/ {n += $2} END {print n}')
lines=$(( $(wc -l <"$work/lines") - start_lines ))
printf 'run: %.0f s, 16 devices, %s signal reports in all, %s JSON lines in the run\n' "$elapsed" "$reports" "$lines"
printf 'tvc-watch CPU: %.2f %% of a core (goal: at most 3 %%)\n' "$(echo "100 * $used / $ticks / $elapsed" | bc -l)"
echo "resident memory at the end: $(rss) KiB"
