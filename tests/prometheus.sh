#!/usr/bin/env bash
# A real Prometheus server scrapes tvc-watch --metrics every second, on
# loopback, while three simulated devices report: each device's signal level
# and a link that goes down and up again are read back through Prometheus's
# query API, with a name that the exposition must escape; promtool finds the
# exposition valid; a second watch on the same
# address is refused with status 2.
#
#   tests/prometheus.sh TVC-WATCH TVC-SIM
set -euo pipefail
tvc_watch=$1
tvc_sim=$2
for tool in prometheus promtool curl python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/test.sh installs it)"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# The devices: three receivers with fixed levels; the console on a fifo.
mkfifo "$work/console"
"$tvc_sim" --quiet --devices 3 --no-txu --role rxu-client --report-period 100 \
    --device '1:--signal -51' --device '2:--signal -62' --device '3:--signal -73' \
    <"$work/console" >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
exec 3>"$work/console"
for _ in $(seq 100); do [ "$(wc -l <"$work/sim.out")" -ge 3 ] && break; sleep 0.1; done
mapfile -t ptys <"$work/sim.out"
[ ${#ptys[@]} -eq 3 ] || fail "the simulator printed ${#ptys[@]} terminals"

# Device 3's name holds quotes, a backslash and a line break.
mkdir -p "$work/config/Tavero"
printf '[device_names]\n1\\key=port:%s\n1\\name="Stage \\"left\\" \\\\ 2\\nrow"\nsize=1\n' "${ptys[2]}" \
    >"$work/config/Tavero/Tavero Companion.ini"
metrics=127.0.0.1:$(free_port)
XDG_CONFIG_HOME=$work/config "$tvc_watch" --port "${ptys[0]}" --port "${ptys[1]}" --port "${ptys[2]}" --metrics "$metrics" \
    --json >"$work/watch.out" 2>"$work/watch.err" &
pids+=($!)
for _ in $(seq 100); do curl -sf "http://$metrics/metrics" >"$work/metrics" && break; sleep 0.1; done

set +e
"$tvc_watch" --port "${ptys[0]}" --metrics "$metrics" >/dev/null 2>"$work/second.err"
second=$?
set -e
[ "$second" = 2 ] || fail "a second watch on $metrics ended with $second"
grep -q "$metrics" "$work/second.err" || fail "the second watch did not name the address: $(cat "$work/second.err")"

web=127.0.0.1:$(free_port)
cat >"$work/prometheus.yml" <<EOF
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: tavero
    static_configs:
      - targets: ['$metrics']
EOF
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/data" \
    --web.listen-address="$web" --log.level=warn >"$work/prometheus.log" 2>&1 &
pids+=($!)

# query EXPRESSION: the result's samples as "port value" lines, sorted.
query() {
    curl -sf --get "http://$web/api/v1/query" --data-urlencode "query=$1" |
        python3 -c 'import json,sys
for r in json.load(sys.stdin)["data"]["result"]:
    print(r["metric"].get("port", "-"), r["value"][1])' | LC_ALL=C sort
}
# until EXPRESSION WANTED: waits up to 30 s for the query to give WANTED.
until_query() {
    local got=
    for _ in $(seq 150); do
        got=$(query "$1" 2>/dev/null || true)
        [ "$got" = "$2" ] && return 0
        sleep 0.2
    done
    fail "Prometheus gave for $1:
$got
instead of
$2"
}

levels=$(printf '%s -51\n%s -62\n%s -73\n' "${ptys[0]}" "${ptys[1]}" "${ptys[2]}" | LC_ALL=C sort)
until_query 'tavero_signal_dbm{path="txu"}' "$levels"
up=$(printf '%s 1\n' "${ptys[@]}" | LC_ALL=C sort)
until_query tavero_link_up "$up"
until_query "count(tavero_device_info{role=\"RXU Client (Master Slot)\",wlan_version=\"1650\"})" "- 3"
until_query 'tavero_device_info{name="Stage \"left\" \\ 2\nrow"}' "${ptys[2]} 1"

echo "2 link 1" >&3
until_query "tavero_link_up{port=\"${ptys[1]}\"}" "${ptys[1]} 0"
echo "2 link 2" >&3
until_query "tavero_link_up{port=\"${ptys[1]}\"}" "${ptys[1]} 1"
until_query "min_over_time(tavero_link_up{port=\"${ptys[1]}\"}[5m])" "${ptys[1]} 0"
until_query "tavero_link_losses_total{port=\"${ptys[1]}\"}" "${ptys[1]} 1"

curl -sf "http://$metrics/metrics" >"$work/metrics"
promtool check metrics <"$work/metrics" || fail "promtool check metrics"
echo "ok: Prometheus read the levels and the link down and up of ${ptys[*]}"
