#!/bin/bash
# Times findHousehold(3) in private network namespaces: once with an Avahi
# daemon (DNS-SD, SSDP only after an empty browse, nothing at all) and once
# without one (the browse gives up at once).
#   bench/discovery-figures.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
bench="$build/bin/discovery_figures"
[ -x "$bench" ] || { echo "build the discovery_figures target first" >&2; exit 2; }
echo "== with a DNS-SD daemon"
"$here/../tests/netns/run-in-netns" --avahi -- "$bench"
echo "== without a DNS-SD daemon"
"$here/../tests/netns/run-in-netns" -- "$bench" --benchmark_filter='ssdp_only|nothing'
