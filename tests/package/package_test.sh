#!/bin/sh
# The Debian package as a player meets it: built by tools/package.sh into the
# given directory, unpacked, started from its desktop entry's Exec line under
# a private X server with a scratch home, and judged by desktop-file-validate,
# lintian and appstreamcli.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$("$root/tools/package.sh" "$1" | tail -n 1)
t=$(mktemp -d)
xvfb="" game=""
trap 'kill $game $xvfb 2>/dev/null || :; rm -rf "$t"' EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$t/root"
desktop=$t/root/usr/share/applications/quillmoor.desktop
desktop-file-validate "$desktop"
lintian --fail-on error "$deb" >"$t/lintian" 2>&1 || { cat "$t/lintian"; fail "lintian found errors"; }
# The software centres' entry, with the desktop entry it launches.
appstreamcli validate-tree --pedantic --no-net "$t/root" >"$t/appstream" 2>&1 || { cat "$t/appstream"; fail "appstreamcli found errors or warnings"; }
for tag in $(awk '$1 == "W:" { print $3 }' "$t/lintian") $(awk '$1 == "I:" || $1 == "P:" { print $3 }' "$t/appstream"); do
    grep -q "$tag" "$root/README.md" || fail "lintian or appstreamcli reports $tag, and README.md does not say why it stays"
done

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 3>"$t/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$t/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$t/display")" HOME="$t/home" PATH="$t/root/usr/games:$PATH"
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir "$HOME"
data=$HOME/.local/share/quillmoor config=$HOME/.config/quillmoor/settings.ini

click() {  # the pause menu's button in row $1: 1 Exit, 2 Save screenshot
    xdotool mousemove --window "$win" $((w / 2)) $((h / 2 - 125 + 50 * $1)) sleep 0.2 mousedown 1 sleep 0.2 mouseup 1
}
play() {  # expects a $1 x $2 window; saves the screenshot $3, then exits
    w=$1 h=$2
    sh -c "exec $(sed -n 's/^Exec=//p' "$desktop")" &
    game=$!
    win=$(timeout 30 xdotool search --sync --name quillmoor.example.org | head -n 1)
    xdotool getwindowgeometry "$win" | grep -q "Geometry: ${w}x$h" || fail "no $w x $h window"
    # Escape is held while the game may still be starting, so that a pass sees it; the menu slides in.
    xdotool mousemove --window "$win" $((w / 2)) $((h / 2)) keydown Escape sleep 3 keyup Escape sleep 1.5
    click 2
    for _ in $(seq 100); do [ -s "$3" ] && break; sleep 0.1; done
    head -c 4 "$3" | grep -q PNG || fail "Save screenshot wrote no $3"
    click 1
    for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    kill "$game" 2>/dev/null && fail "Exit in the pause menu did not end the game"
    wait "$game" || fail "the game ended with exit code $?"
}

play 1024 768 "$data/screenshot1.png"
cmp "$config" "$t/root/usr/share/games/quillmoor/settings.ini"
printf 'screenw = 640\nscreenh = 480\n' >"$config"
play 640 480 "$data/screenshot2.png"
[ "$(cat "$config")" = "$(printf 'screenw = 640\nscreenh = 480')" ] || fail "settings.ini was rewritten"

# Root may write anywhere, so the unwritable home lies below a regular file.
: >"$t/file"
code=0
HOME=$t/file/home quillmoor 2>"$t/err" || code=$?
[ "$code" -eq 6 ] && [ "$(wc -l <"$t/err")" -eq 1 ] || fail "unwritable home: exit $code, stderr: $(cat "$t/err")"
