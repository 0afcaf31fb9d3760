#!/bin/sh
# Checks that a release is reproducible to the bit, as a packager would:
# clones the commit twice and runs tools/release.sh in each clone, one after
# the other, with SOURCE_DATE_EPOCH unset, then compares the two SHA256SUMS.
# The second clone differs in every way a packager's machine may: another
# path (on /dev/shm where there is one, a file system that lists directories
# in another order), umask 002 instead of 022, another time zone and locale,
# and SDL for Windows built afresh where the first takes the user's cache,
# which may be months old. diffoscope (installed here if missing) names any
# difference. Two whole releases take several minutes, so the test command
# leaves this to a release.
#
# Usage: tools/reproduce.sh [commit]   (default: HEAD)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse "${1:-HEAD}")
if ! command -v diffoscope >/dev/null 2>&1; then
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root=sudo
    $as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq diffoscope-minimal
fi
first=$(mktemp -d)
second=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$first" "$second"' EXIT

release() {  # clones into $1 and releases there, under umask $2, TZ $3 and LC_ALL $4, caching in $5
    mkdir -p "$(dirname "$1")"
    (umask "$2" && git clone -q "$root" "$1" && git -C "$1" checkout -q --detach "$commit" &&
        cd "$1" && env -u SOURCE_DATE_EPOCH TZ="$3" LC_ALL="$4" XDG_CACHE_HOME="$5" \
        ./tools/release.sh "$1/dist") >"$1.log" 2>&1 || { tail -n 30 "$1.log"; exit 1; }
    echo "$1 (umask $2, TZ=$3, LC_ALL=$4, $(date -u +%H:%M) UTC):"
    cat "$1/dist/SHA256SUMS"
}
release "$first/quillmoor" 022 UTC C "${XDG_CACHE_HOME:-$HOME/.cache}"
release "$second/elsewhere/quillmoor-$(date +%s)" 002 Pacific/Chatham C.UTF-8 "$second/cache"
a=$first/quillmoor/dist
b=$(echo "$second"/elsewhere/quillmoor-*/dist)
if cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS"; then
    echo "reproduce.sh: $commit: the same bytes in both places"
    exit 0
fi
for f in $(awk '{ print $2 }' "$a/SHA256SUMS" "$b/SHA256SUMS" | sort -u); do
    cmp -s "$a/$f" "$b/$f" || diffoscope --text - "$a/$f" "$b/$f" || :
done
echo "reproduce.sh: $commit: the two releases differ" >&2
exit 1
