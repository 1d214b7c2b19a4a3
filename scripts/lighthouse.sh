#!/usr/bin/env bash
# Lighthouse's four category scores (performance, accessibility, best
# practices, SEO) for the browser edition served from the loopback address,
# as a static host would serve it, with the desktop and the mobile presets, in
# Debian's Chromium. Reports; fails nothing.
# usage: lighthouse.sh [FOLDER [PAGE]]  (build/web and solvara.html by default)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/web}
page=${2-solvara.html}

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$folder" "$port" >/dev/null 2>&1 &
server=$!
report=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$report"' EXIT
for _ in $(seq 1 50); do
  /usr/bin/python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.1
done

for preset in desktop mobile; do
  flags=()
  [ "$preset" = desktop ] && flags=(--preset=desktop)
  CHROME_PATH=/usr/bin/chromium /usr/bin/node node_modules/lighthouse/cli/index.js \
    "http://127.0.0.1:$port/$page" "${flags[@]}" --quiet --output=json --output-path="$report/$preset.json" \
    --chrome-flags="--headless=new --no-sandbox" >/dev/null 2>&1 || { echo "Lighthouse ($preset) gave no figures"; continue; }
  /usr/bin/python3 - "$report/$preset.json" "$preset" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
scores = ", ".join(f"{c['title']} {round(c['score'] * 100) if c['score'] is not None else '-'}"
                   for c in report["categories"].values())
audits = report["audits"]
timing = ", ".join(f"{audits[a]['title']} {audits[a]['displayValue']}"
                   for a in ("first-contentful-paint", "total-blocking-time", "interactive", "total-byte-weight")
                   if a in audits)
failed = sorted(a["id"] for a in audits.values()
                if a.get("score") is not None and a["score"] < 0.9 and a.get("scoreDisplayMode") == "binary")
print(f"Lighthouse {sys.argv[2]}: {scores}; {timing}" + (f"; below par: {', '.join(failed)}" if failed else ""))
PY
done
