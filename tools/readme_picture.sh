#!/bin/sh
# Regenerates docs/screenshot.png, the picture at the top of README.md, with
# the game itself: starts a private X server, runs the built game in a
# scratch directory with Media/ and a settings.ini asking for a 640 x 480
# window, lets it play for a few seconds, opens the pause menu with Escape,
# clicks "Save screenshot", leaves through "Exit" and copies the file the
# game wrote. The world is new at every start, so every run gives a new view.
#
# Usage: tools/readme_picture.sh [build directory]   (default: build)
# Needs Xvfb and xdotool (tools/install_deps.sh --tests installs them).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
game="$build/quillmoor"
width=640
height=480

if [ ! -x "$game" ]; then
    echo "readme_picture.sh: no game at $game; build it first:" >&2
    echo "  cmake -S . -B build && cmake --build build --target quillmoor" >&2
    exit 1
fi
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "readme_picture.sh: $tool is missing (tools/install_deps.sh --tests)" >&2
        exit 1
    }
done

scratch=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

# A private server: Xvfb picks a free display and writes its number to fd 3
# once it accepts clients.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || { echo "readme_picture.sh: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$scratch/display")"
export DISPLAY

cp -R "$root/Media" "$scratch/Media"
printf 'screenw = %d\nscreenh = %d\nmipmapping = 1\n' "$width" "$height" >"$scratch/settings.ini"
(cd "$scratch" && exec "$game") &
game_pid=$!

window=$(xdotool search --sync --name 'quillmoor.example.org' | head -n 1)
# The pointer rests on the window's centre, where it does not turn the view;
# keys go to the window under it.
xdotool mousemove --window "$window" $((width / 2)) $((height / 2))
sleep 6

# The game reads input once a pass, so every key and button is held for a
# while. The menu takes 20 passes to come in.
xdotool keydown Escape
sleep 0.3
xdotool keyup Escape
sleep 3
menu_top=$((height / 2 - 125))
click() {
    xdotool mousemove --window "$window" $((width / 2)) "$1"
    sleep 0.3
    xdotool mousedown 1
    sleep 0.3
    xdotool mouseup 1
}
click $((menu_top + 100))
for _ in $(seq 200); do
    [ -s "$scratch/screenshot1.png" ] && break
    sleep 0.1
done
[ -s "$scratch/screenshot1.png" ] || { echo "readme_picture.sh: no screenshot was written" >&2; exit 1; }
click $((menu_top + 50))
for _ in $(seq 100); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
    echo "readme_picture.sh: the game did not exit through its menu" >&2
    exit 1
fi
wait "$game_pid" || { echo "readme_picture.sh: the game exited with an error" >&2; exit 1; }
game_pid=""

mkdir -p "$root/docs"
cp "$scratch/screenshot1.png" "$root/docs/screenshot.png"
echo "docs/screenshot.png: $(wc -c <"$root/docs/screenshot.png") bytes"
