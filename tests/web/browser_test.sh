#!/usr/bin/env bash
# Serves the built page on 127.0.0.1 (a free port) with the desktop game's
# reference pictures beside it, and plays it in Debian's Chromium, headless,
# through puppeteer-core (browser_test.js).
# Usage: browser_test.sh WEB_BUILD_DIR [SHOTS_DIR]
#   WEB_BUILD_DIR as scripts/web.sh leaves it: dist/ and native/ (or the
#   desktop build named by PIKORA_WEB_NATIVE) with pikora_web_reference.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
OUT=$(realpath "$1")
SHOTS=${2:+$(realpath -m "$2")}
NATIVE=${PIKORA_WEB_NATIVE:-$OUT/native}
SEED=${PIKORA_WEB_SEED:-20261207}
export PIKORA_WEB_SEED=$SEED

[ -x /usr/bin/chromium ] || { echo "browser test: /usr/bin/chromium is missing (bash scripts/web.sh --test installs it)" >&2; exit 1; }
# The test driver, as the lock file pins it.
if [ ! -d "$HERE/node_modules/puppeteer-core" ] || [ "$HERE/package-lock.json" -nt "$HERE/node_modules/.package-lock.json" ]; then
  (cd "$HERE" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi

SITE=$(mktemp -d)
SPID=""
trap '{ [ -n "$SPID" ] && kill "$SPID" 2>/dev/null; } || true; rm -rf "$SITE"' EXIT
# The desktop game's pictures for the same seed, made by its headless twin.
"$NATIVE/pikora_web_reference" "$SEED" "$SITE/reference" ja
for f in "$OUT"/dist/*; do ln -s "$f" "$SITE/"; done

PORT=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$SITE" "$PORT" >/dev/null 2>&1 &
SPID=$!
# The test cuts the network by stopping the server (it is then gone here).
export PIKORA_WEB_SERVER_PID=$SPID
# ... and puts a new build in place (the site's files are links to dist/).
export PIKORA_WEB_SITE=$SITE
for _ in $(seq 100); do
  /usr/bin/python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$PORT/index.html')" 2>/dev/null && break
  sleep 0.1
done
node "$HERE/browser_test.js" "http://127.0.0.1:$PORT/index.html" $SHOTS
