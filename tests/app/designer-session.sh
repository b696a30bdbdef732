#!/usr/bin/env bash
# The designer as a person uses it, on a virtual display, driven only by keys
# and the pointer (xdotool): on a copy of the sample project, select every
# shape with A, delete them, undo, save with Ctrl+S, and find the project file
# with the same shapes; then make a new project with Ctrl+N and find it on
# disk. Skipped (exit 77) only where Xvfb or xdotool cannot run.
#
#   designer-session.sh PROGRAM SAMPLE_FOLDER
set -uo pipefail
PROGRAM="$1"
SAMPLE="$2"

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done

WORK="$(mktemp -d "${TMPDIR:-/tmp}/lumavine-session-XXXXXX")"
XVFB_PID=""
PROGRAM_PID=""
cleanup()
{
    for pid in $PROGRAM_PID $XVFB_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT
fail()
{
    echo "designer session: $*" >&2
    [ -f "$WORK/program.log" ] && sed 's/^/  program: /' "$WORK/program.log" >&2
    exit 1
}

exec 3>"$WORK/display"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
if [ ! -s "$WORK/display" ]; then
    echo "skipped: Xvfb did not start: $(cat "$WORK/xvfb.log")"
    exit 77
fi
export DISPLAY=":$(head -n1 "$WORK/display")"

cp -r "$SAMPLE" "$WORK/project"
PROJECT="$WORK/project/$(basename "$SAMPLE").xml"
ORIGINAL="$WORK/original.xml"
cp "$PROJECT" "$ORIGINAL"
mkdir -p "$WORK/installation" "$WORK/projects"
cat >"$WORK/registry.xml" <<XML
<registry><Software><Lumavine><Location>$WORK/installation</Location><flags>0</flags></Lumavine></Software></registry>
XML

env -u QT_QPA_PLATFORM LUMAVINE_REGISTRY="$WORK/registry.xml" XDG_RUNTIME_DIR="$WORK" \
    "$PROGRAM" "$PROJECT" >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!
WINDOW="$(timeout 30 xdotool search --sync --onlyvisible --name '^Lumavine Designer - ' | head -n1)"
[ -n "$WINDOW" ] || fail "the main window did not appear"
xdotool windowmove --sync "$WINDOW" 0 0
sleep 1

# The ids of the shapes a project file holds, sorted: the same shapes in the same pages.
shapes()
{
    grep -o '<id>[^<]*</id>' "$1" | sort
}
keys()
{
    xdotool windowfocus --sync "$1"
    shift
    xdotool key --delay 150 "$@"
}

# A click on bare page (the canvas lies below the menus, the toolbar and the project window's
# title) gives the canvas the keys.
xdotool mousemove 790 640 click 1
sleep 1
# Saves with Ctrl+S and waits until the project file is newer than the marker.
save()
{
    touch "$WORK/before-save"
    sleep 1.1
    keys "$WINDOW" ctrl+s
    for _ in $(seq 50); do
        [ "$PROJECT" -nt "$WORK/before-save" ] && return 0
        sleep 0.2
    done
    fail "Ctrl+S wrote no project file"
}
keys "$WINDOW" a Delete
sleep 0.5
save
[ "$(shapes "$PROJECT" | wc -l)" -lt "$(shapes "$ORIGINAL" | wc -l)" ] || fail "A and Delete removed no shape"
keys "$WINDOW" ctrl+z
sleep 0.5
save
[ "$(shapes "$PROJECT")" = "$(shapes "$ORIGINAL")" ] || fail "after undo the saved project does not hold the original shapes"
[ -s "$WORK/project/content/Welcome.html" ] || fail "saving generated no site"
echo "designer session: select all and delete removed the shapes, undo brought them back, Ctrl+S saved both"

keys "$WINDOW" ctrl+n
DIALOG="$(timeout 20 xdotool search --sync --onlyvisible --name '^New Project$' | head -n1)"
[ -n "$DIALOG" ] || fail "Ctrl+N opened no New Project dialog"
# The folder first, then the name (past the folder chooser's button), then OK.
xdotool windowfocus --sync "$DIALOG"
xdotool type --delay 20 "$WORK/projects"
xdotool key --delay 150 Tab Tab
xdotool type --delay 20 "fresh"
xdotool key --delay 150 Return
for _ in $(seq 50); do
    [ -f "$WORK/projects/fresh/fresh.xml" ] && break
    sleep 0.2
done
[ -d "$WORK/projects/fresh/content/files" ] || fail "no project folders were made"
[ -f "$WORK/projects/fresh/fresh.xml" ] || fail "no project file was made"
timeout 20 xdotool search --sync --onlyvisible --name '^Lumavine Designer - fresh\.xml' >/dev/null \
    || fail "the new project did not open"
echo "designer session: Ctrl+N made and opened a new project"
echo "designer session: passed"
