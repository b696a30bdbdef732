#!/usr/bin/env bash
# Screenshots of the designer, for people to look at: the main window with the sample project's
# first page at 100% and at 50% with shapes selected, and the property dialogs of a rectangle, a
# picture and a line; then the main window without a project, the New Project dialog, the
# About box, and two projects tiled. The program runs on a virtual X display (Xvfb) and is driven with the
# pointer and keys through xdotool, as a user would drive it; ImageMagick's import takes the
# pictures.
#
#   bash scripts/designer-screenshots.sh [OUTPUT_DIRECTORY]
#
# OUTPUT_DIRECTORY defaults to /work/shots. LUMAVINE_PROGRAM names the program (default: the
# main build's app/lumavine). Needs xvfb, xdotool and imagemagick (scripts/setup.sh installs
# them).
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

OUTPUT="${1:-/work/shots}"
PROGRAM="${LUMAVINE_PROGRAM:-$LUMAVINE_BUILD_DIR/app/lumavine}"

for tool in Xvfb xdotool import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "designer-screenshots.sh: $tool is missing; run scripts/setup.sh --no-build" >&2
        exit 1
    fi
done
if [ ! -x "$PROGRAM" ]; then
    echo "designer-screenshots.sh: no program at $PROGRAM; build the lumavine target first" >&2
    exit 1
fi
mkdir -p "$OUTPUT"

WORK="$(mktemp -d)"
XVFB_PID=""
PROGRAM_PID=""
cleanup()
{
    # Waited for, so that nothing is left behind for a parent that may not reap it.
    for pid in $PROGRAM_PID $XVFB_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

# A copy of the sample, so that nothing the session does reaches the repository. Its first page
# gets a picture and a line beside its own shapes (it has neither), on a layer above the frame
# they lie on, so that clicks find them.
cp -r "$LUMAVINE_ROOT/sample/lumavine-sample" "$WORK/"
PROJECT="$WORK/lumavine-sample/lumavine-sample.xml"
python3 - "$PROJECT" <<'EOF'
import sys

path = sys.argv[1]
with open(path, encoding="utf-8") as f:
    text = f.read()
shapes = """              <node>
                     <ntype>image</ntype>
                     <npoints>4</npoints>
                     <point x="260" y="140" />
                     <point x="500" y="140" />
                     <point x="500" y="320" />
                     <point x="260" y="320" />
                     <layer>4</layer>
                     <source>files/boathouse.png</source>
                     <image-opacity>1</image-opacity>
                     <border>type:straight;width:1;enda:none;endz:none;border-style:solid</border>
                     <name>screenshot-picture</name>
                     <id>screenshot-picture</id>
                     <title>The old boathouse</title>
              </node>
              <node>
                     <ntype>line</ntype>
                     <npoints>2</npoints>
                     <point x="540" y="360" />
                     <point x="740" y="480" />
                     <layer>4</layer>
                     <border>type:straight;width:3;enda:none;endz:none;border-style:solid</border>
                     <name>screenshot-line</name>
                     <id>screenshot-line</id>
              </node>
"""
# The first page's shapes end where its slideshow settings begin.
marker = "              <initialize>"
at = text.index(marker)
with open(path, "w", encoding="utf-8") as f:
    f.write(text[:at] + shapes + text[at:])
EOF

# -displayfd: Xvfb picks a free display and writes its number; -noreset: the display stays
# usable when a client closes.
exec 3>"$WORK/display"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
if [ ! -s "$WORK/display" ]; then
    echo "designer-screenshots.sh: Xvfb did not start:" >&2
    cat "$WORK/xvfb.log" >&2
    exit 1
fi
DISPLAY=":$(head -n1 "$WORK/display")"
export DISPLAY

# Settings of the session's own, naming an installation folder as the install step would.
mkdir -p "$WORK/installation"
cat >"$WORK/registry.xml" <<XML
<registry><Software><Lumavine><Location>$WORK/installation</Location><flags>0</flags></Lumavine></Software></registry>
XML
env -u QT_QPA_PLATFORM LUMAVINE_REGISTRY="$WORK/registry.xml" "$PROGRAM" "$PROJECT" >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!
WINDOW="$(timeout 30 xdotool search --sync --onlyvisible --name 'Lumavine Designer - lumavine-sample\.xml')" || {
    echo "designer-screenshots.sh: the window did not appear:" >&2
    cat "$WORK/program.log" >&2
    exit 1
}
WINDOW="$(head -n1 <<<"$WINDOW")"
# Without a window manager the window sits where it asks to be; put it at the corner, so that
# the canvas of the project's window lies below the menu bar, the toolbar and the child
# window's title at a fixed place (DejaVu fonts, as the set-up installs them).
xdotool windowmove --sync "$WINDOW" 0 0
sleep 1

# The canvas waits the double-click time before it takes a single press.
CLICK_SETTLE=0.8

# A point of the page at the current zoom, as screen coordinates.
ZOOM_PERCENT=100
CANVAS_X="${LUMAVINE_CANVAS_X:-4}"
CANVAS_Y="${LUMAVINE_CANVAS_Y:-91}"
at()
{
    echo "$((CANVAS_X + $1 * ZOOM_PERCENT / 100)) $((CANVAS_Y + $2 * ZOOM_PERCENT / 100))"
}

# Keys go to the window that has the input focus; without a window manager nobody else gives it.
keys()
{
    local window="$1"
    shift
    xdotool windowfocus --sync "$window"
    xdotool key --delay 100 "$@"
}

shoot()
{
    import -window "$1" "$OUTPUT/$2"
    echo "$OUTPUT/$2: $(xdotool getwindowname "$WINDOW") / $(xdotool getwindowname "$3")"
}

# The dialog that opens over the canvas: the visible, named window that is not the main window.
dialogWindow()
{
    for _ in $(seq 50); do
        for window in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            if [ "$window" != "$WINDOW" ] && [ -n "$(xdotool getwindowname "$window" 2>/dev/null)" ]; then
                echo "$window"
                return 0
            fi
        done
        sleep 0.2
    done
    echo "designer-screenshots.sh: no dialog opened" >&2
    return 1
}

# Double-clicks a shape at a page point, shoots the property dialog and cancels it.
shootDialog()
{
    # shellcheck disable=SC2046
    xdotool mousemove $(at "$1" "$2") click --repeat 2 --delay 60 1
    local dialog
    dialog="$(dialogWindow)"
    sleep 1
    shoot "$dialog" "$3" "$dialog"
    keys "$dialog" Escape
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '.' | grep -qx "$dialog" || return 0
        sleep 0.2
    done
    echo "designer-screenshots.sh: the dialog did not close" >&2
    return 1
}

shoot root canvas-100.png "$WINDOW"

# Some shapes selected: a rubber band around the left column of buttons and the picture, started
# on bare page well away from any shape's corner (a press near one grabs its handle). A click
# would do too, but its release snaps the selection to the grid. Then 50%: two steps down (75%,
# 50%) from the keyboard.
# shellcheck disable=SC2046
{
    xdotool mousemove $(at 4 114) mousedown 1
    for step in 1 2 3 4 5 6 7 8; do
        xdotool mousemove $(at $((4 + step * 63)) $((114 + step * 38)))
        sleep 0.05
    done
    xdotool mouseup 1
    sleep "$CLICK_SETTLE"
}
keys "$WINDOW" ctrl+minus ctrl+minus
ZOOM_PERCENT=50
sleep 0.5
shoot root canvas-50-selected.png "$WINDOW"

# Back to 100% and nothing selected, then each shape's own dialog.
keys "$WINDOW" ctrl+plus ctrl+plus
ZOOM_PERCENT=100
# shellcheck disable=SC2046
xdotool mousemove $(at 790 540) click 1
sleep "$CLICK_SETTLE"
shootDialog 115 138 dialog-rectangle.png
shootDialog 380 230 dialog-picture.png
# A line is picked at its ends only.
shootDialog 540 360 dialog-line.png

# Nothing was changed that the program would ask about on the way out.
kill "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null || true
PROGRAM_PID=""

# The program without a project, its dialogs, and two projects side by side.
cp -r "$LUMAVINE_ROOT/sample/lumavine-sample" "$WORK/second"
env -u QT_QPA_PLATFORM LUMAVINE_REGISTRY="$WORK/registry.xml" "$PROGRAM" >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!
WINDOW="$(timeout 30 xdotool search --sync --onlyvisible --name '^Lumavine Designer$' | head -n1)"
[ -n "$WINDOW" ] || { echo "designer-screenshots.sh: no main window" >&2; exit 1; }
xdotool windowmove --sync "$WINDOW" 0 0
sleep 1
shoot root main-empty.png "$WINDOW"

# A modal window of the given title, once it shows.
windowNamed()
{
    timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n1
}
keys "$WINDOW" ctrl+n
DIALOG="$(windowNamed '^New Project$')"
sleep 0.5
shoot root new-project.png "$DIALOG"
keys "$DIALOG" Escape
sleep 0.5
keys "$WINDOW" alt+h
sleep 0.3
xdotool key a
DIALOG="$(windowNamed '^About')"
sleep 0.5
shoot root about.png "$DIALOG"
keys "$DIALOG" Return
sleep 0.5
for project in "$PROJECT" "$WORK/second/lumavine-sample.xml"; do
    keys "$WINDOW" ctrl+o
    DIALOG="$(windowNamed '^Open$')"
    sleep 0.5
    xdotool windowfocus --sync "$DIALOG"
    xdotool type --delay 10 "$project"
    xdotool key Return
    sleep 1.5
done
keys "$WINDOW" alt+w
sleep 0.3
xdotool key t
sleep 1
shoot root main-two-tiled.png "$WINDOW"
kill "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null || true
PROGRAM_PID=""
echo "screenshots in $OUTPUT"
