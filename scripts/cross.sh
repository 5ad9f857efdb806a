# What the builds for other systems share (scripts/web.sh and
# scripts/windows.sh source it): saying what is done, running a step quietly,
# installing Debian's packages, and building the libraries once from Debian's
# own source packages into a cache. The sourcing script sets NAME (its word in
# messages), OUT (its build folder) and SOURCES (the source packages) first.

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
START=$(date +%s)
say() { echo "$NAME: [$(( $(date +%s) - START )) s] $*"; }
# Runs a step with its output kept aside, shown only when it fails.
quiet() {
  mkdir -p "$OUT"
  "$@" >"$OUT/step.log" 2>&1 || { cat "$OUT/step.log" >&2; echo "$NAME: failed: $*" >&2; exit 1; }
}

# Installs the packages not installed yet; status 77 (a skip to CTest) when
# that needs root and sudo would ask for a password.
install_missing() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  if [ -n "$SUDO" ] && ! sudo -n true 2>/dev/null; then
    echo "$NAME: needs ${missing[*]} installed (as root: bash $0)" >&2
    exit 77
  fi
  say "installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Each source package with its version, as apt knows them.
versions() {
  local p
  for p in "${SOURCES[@]}"; do
    apt-cache showsrc --only-source "$p" 2>/dev/null | awk -v p="$p" '/^Version:/ { print p, $2 }'
  done | sort -u
}

# Makes apt know the sources: a deb-src entry beside each Debian binary entry
# (same archive, suites, components and keyring), then the source lists.
find_sources() {
  if [ "$(versions | cut -d' ' -f1 | sort -u | wc -l)" -ne ${#SOURCES[@]} ]; then
    say "adding Debian's source entries to apt"
    local f src=/etc/apt/sources.list.d/pikora-deb-src
    for f in /etc/apt/sources.list.d/*.sources; do
      [ "$f" = "$src.sources" ] || awk 'BEGIN { RS = ""; ORS = "\n\n" }
        /(^|\n)Types:[^\n]*deb([ \n]|$)/ && /debian/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
    done | $SUDO tee "$src.sources" >/dev/null
    [ -f /etc/apt/sources.list ] && sed -n 's/^deb\s\(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list |
      $SUDO tee "$src.list" >/dev/null
    $SUDO apt-get update -qq
  fi
  [ "$(versions | cut -d' ' -f1 | sort -u | wc -l)" -eq ${#SOURCES[@]} ] ||
    { echo "$NAME: apt finds no sources for some of ${SOURCES[*]}" >&2; exit 1; }
}

# The libraries built by RECIPE (a script given the unpacked sources and the
# folder to install into) into CACHE/KEY, once: a folder of another key goes.
# Sets LIBS.
libraries_once() {  # CACHE KEY RECIPE
  local cache=$1 key=$2 recipe=$3
  LIBS=$cache/$key
  if [ -f "$LIBS/ready" ]; then
    say "libraries from the cache: $LIBS"
    return 0
  fi
  say "building the libraries once, into $LIBS"
  mkdir -p "$cache"
  WORK=$(mktemp -d "$cache/.build.XXXXXX")
  trap 'rm -rf "$WORK"' EXIT
  mkdir "$WORK/src"
  (cd "$WORK/src" && apt-get source -qq "${SOURCES[@]}" >../apt.log 2>&1) ||
    { cat "$WORK/apt.log" >&2; echo "$NAME: apt-get source failed" >&2; exit 1; }
  quiet bash "$recipe" "$WORK/src" "$WORK/out"
  versions >"$WORK/out/sources"
  touch "$WORK/out/ready"
  rm -rf "$LIBS"
  mv "$WORK/out" "$LIBS"
  rm -rf "$WORK"
  trap - EXIT
  find "$cache" -mindepth 1 -maxdepth 1 -type d ! -name "$key" -exec rm -rf {} +
  say "libraries built"
}
