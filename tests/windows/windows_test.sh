#!/bin/sh
# The Windows release, as tools/windows.sh builds it into $1, under Wine on a private X server:
# the resources Windows reads, the zip's game beside the Linux game $2 and its box when it cannot
# start, the installer and its uninstaller, and a seed's world against the Linux world_digest $3.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/tools/windows.sh" "$1" >/dev/null
t=$(mktemp -d)
trap 'kill ${game:-} ${xvfb:-} 2>/dev/null || :; WINEPREFIX=$t/wine wineserver -k 2>/dev/null || :; rm -rf "$t"' EXIT
fail() { echo "windows_test: $*" >&2; exit 1; }
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 3>"$t/display" 2>/dev/null & xvfb=$!
for _ in $(seq 100); do [ -s "$t/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$t/display")" WINEPREFIX=$t/wine WINEDEBUG=-all
for seed in 42 7 4000000000; do
    [ "$(wine "$1/world_digest.exe" $seed | tr -d '\r')" = "$("$3" $seed)" ] || fail "seed $seed makes another world on Windows"
done

png() {  # the picture's size and chunk types, after checking every CRC and the image data's length
    python3 -c 'import sys, struct, zlib
d, i, types, idat = open(sys.argv[1], "rb").read(), 8, [], b""
while d[:8] == b"\x89PNG\r\n\x1a\n" and i < len(d):
    n, t = struct.unpack(">I4s", d[i:i + 8]); body = d[i + 4:i + 8 + n]; i += 12 + n
    assert zlib.crc32(body) == struct.unpack(">I", d[i - 4:i])[0]; types.append(t.decode()); idat += body[4:] * (t == b"IDAT")
w, h = struct.unpack(">II", d[16:24]); assert len(zlib.decompress(idat)) == h * (1 + 3 * w)
print(w, h, *types)' "$1"
}
# A pass can take a good part of a second on a busy machine: hold each press over several.
click() { xdotool mousemove --window "$win" 320 $((115 + 50 * $1)) sleep 1 mousedown 1 sleep 1 mouseup 1; }
play() {  # runs $2 in folder $1 in a 640 x 480 window: Escape, Save screenshot (row 2), Exit (row 1) with 0
    printf 'screenw = 640\r\nscreenh = 480\r\n' >"$1/settings.ini"
    (cd "$1" && exec $2) & game=$!
    win=$(timeout 60 xdotool search --sync --onlyvisible --name quillmoor.example.org | head -n 1)
    xdotool getwindowgeometry "$win" | grep -q "Geometry: 640x480" || fail "$2: no 640 x 480 window"
    # Under Wine keys reach only the focused window; the press is held over several passes.
    xdotool windowfocus "$win" mousemove --window "$win" 320 240 keydown Escape sleep 3 keyup Escape sleep 1.5
    click 2
    for _ in $(seq 300); do [ -s "$1/screenshot1.png" ] && break; sleep 0.1; done
    png "$1/screenshot1.png" >>"$t/chunks" || fail "$2: Save screenshot wrote no valid PNG"
    click 1
    wait "$game" || fail "$2: Exit ended with exit code $?"
}

unzip -q "$1"/quillmoor-*-windows-x64.zip -d "$t/zip"
zip=$(echo "$t"/zip/*)
# What Windows reads of the game and the installer: Properties > Details and the manifest.
/usr/bin/python3 - "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt")" "$zip/quillmoor.exe" "$1"/quillmoor-*-setup.exe <<'EOF' >"$t/pe" || { cat "$t/pe"; fail "version or manifest missing"; }
import pefile, sys
for path in sys.argv[2:]:
    pe = pefile.PE(path)
    v = {k.decode(): v.decode() for f in pe.FileInfo[0] for t in getattr(f, "StringTable", []) for k, v in t.entries.items()}
    n, [m] = pe.VS_FIXEDFILEINFO[0], [e.directory.entries[0].directory.entries[0].data.struct for e in pe.DIRECTORY_ENTRY_RESOURCE.entries if e.id == 24]
    manifest = pe.get_data(m.OffsetToData, m.Size).decode()
    print(path, v, manifest)
    assert v["ProductName"] == "Quillmoor" and v["FileVersion"] == v["ProductVersion"] == sys.argv[1] and v["FileDescription"]
    assert "Copyright" in v["LegalCopyright"] and "%d.%d.%d" % (n.FileVersionMS >> 16, n.FileVersionMS & 65535, n.FileVersionLS >> 16) == sys.argv[1]
    # asInvoker, Windows 7 and 10, and the screen's scale
    assert all(s in manifest for s in ["asInvoker", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "<dpiAware"] + ["PerMonitorV2"] * path.endswith("quillmoor.exe"))
EOF
mkdir "$t/linux" && cp -r "$root/Media" "$t/linux/"
play "$t/linux" "$2"
play "$zip" "wine quillmoor.exe"
mv "$zip/Media" "$t/Media"
(cd "$zip" && exec wine quillmoor.exe) 2>"$t/err" & game=$!
box=$(timeout 60 xdotool search --sync --name '^Quillmoor$' | head -n 1) && [ -n "$box" ] || fail "without Media no box titled Quillmoor"
# Return presses OK once the box has the focus, which a busy machine may be slow to give.
for _ in $(seq 30); do kill -0 $game 2>/dev/null && { xdotool windowfocus "$box" key Return 2>/dev/null || :; } && sleep 1; done
code=0 && wait $game || code=$?
[ $code -eq 4 ] && grep -q "dashboard.png" "$t/err" || fail "without Media the game ended with $code, not 4, saying: $(cat "$t/err")"

# Wine exits 0 even when the installer cannot start: the files tell.
wine "$1"/quillmoor-*-setup.exe /S
app=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Quillmoor)
menu=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Quillmoor)
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoor'
[ -f "$menu/Quillmoor.lnk" ] && wine reg query "$uninstall" /v UninstallString >/dev/null || fail "no shortcut or uninstaller entry"
play "$app" "wine quillmoor.exe"
# The uninstaller copies itself away and returns at once; its own file goes last.
wine "$app/uninstall.exe" /S
for _ in $(seq 100); do [ -e "$app/uninstall.exe" ] || break; sleep 0.2; done
[ "$(ls "$app")" = "$(printf 'screenshot1.png\nsettings.ini')" ] && [ ! -e "$menu" ] || fail "uninstalling left $(ls "$app" "$menu")"
! wine reg query "$uninstall" >/dev/null 2>&1 || fail "the uninstaller left its entry"
[ "$(sort -u "$t/chunks" | wc -l)" -eq 1 ] || fail "the screenshots' sizes or chunks differ: $(cat "$t/chunks")"
