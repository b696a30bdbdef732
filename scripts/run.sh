#!/usr/bin/env bash
# Sets up the machine, builds Lumavine Designer, installs it for the user who runs this (into
# ~/.local, or LUMAVINE_PREFIX) and runs it on the sample project that comes with the
# repository: in the designer when a display is there, otherwise by generating the sample's
# site on the command line.
#
# The sample is copied to a working folder in the build (build/sample/ by default) and opened
# or generated there, so that the repository stays as it is checked out. Every run starts
# from a fresh copy.
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$LUMAVINE_ROOT/scripts/setup.sh" lumavine

SAMPLE_NAME=lumavine-sample
SAMPLE_SOURCE="$LUMAVINE_ROOT/sample/$SAMPLE_NAME"
SAMPLE_WORK="$LUMAVINE_BUILD_DIR/sample"
SAMPLE_PROJECT="$SAMPLE_WORK/$SAMPLE_NAME"

rm -rf "$SAMPLE_PROJECT"
mkdir -p "$SAMPLE_WORK"
cp -R "$SAMPLE_SOURCE" "$SAMPLE_PROJECT"

# The installation also records where its user guide and pictures are in the user's settings.
PREFIX="${LUMAVINE_PREFIX:-$HOME/.local}"
cmake --install "$LUMAVINE_BUILD_DIR" --prefix "$PREFIX" > "$SAMPLE_WORK/install.log" \
    || { cat "$SAMPLE_WORK/install.log" >&2; exit 1; }
PROGRAM="$PREFIX/bin/lumavine"
echo "Lumavine Designer is installed as $PROGRAM"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting the designer on a fresh copy of the sample project: $SAMPLE_PROJECT/$SAMPLE_NAME.xml"
    exec "$PROGRAM" "$SAMPLE_PROJECT/$SAMPLE_NAME.xml"
fi

# Without a display the program draws the page pictures on Qt's offscreen platform. Outside a
# desktop session there is no runtime folder either, and Qt would warn about it on every run.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$SAMPLE_WORK/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
fi
"$PROGRAM" --generate "$SAMPLE_PROJECT/$SAMPLE_NAME.xml"

# The first page of the project is the one its first <page> element names.
FIRST_LABEL="$(sed -n 's:.*<label>\(.*\)</label>.*:\1:p' "$SAMPLE_PROJECT/$SAMPLE_NAME.xml" | head -n 1)"
echo
echo "The sample project's site is in $SAMPLE_PROJECT/content"
echo "Open its first page in a browser: $SAMPLE_PROJECT/content/${FIRST_LABEL// /_}.html"
echo "There is no display here for the designer. On a desktop, start it from the applications menu"
echo "(Lumavine Designer) or with: $PROGRAM $SAMPLE_PROJECT/$SAMPLE_NAME.xml"
