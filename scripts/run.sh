#!/usr/bin/env bash
# Sets up the machine, builds Lumavine Designer and runs its main job: generating the site of
# the sample project that comes with the repository.
#
# The sample is copied to a working folder in the build (build/sample/ by default) and
# generated there, so that the repository stays as it is checked out. Every run starts from a
# fresh copy, so running it again gives the same site.
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

# Without a display the program draws the page pictures on Qt's offscreen platform. Outside a
# desktop session there is no runtime folder either, and Qt would warn about it on every run.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$SAMPLE_WORK/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
fi
"$LUMAVINE_BUILD_DIR/app/lumavine" --generate "$SAMPLE_PROJECT/$SAMPLE_NAME.xml"

# The first page of the project is the one its first <page> element names.
FIRST_LABEL="$(sed -n 's:.*<label>\(.*\)</label>.*:\1:p' "$SAMPLE_PROJECT/$SAMPLE_NAME.xml" | head -n 1)"
echo
echo "The sample project's site is in $SAMPLE_PROJECT/content"
echo "Open its first page in a browser: $SAMPLE_PROJECT/content/${FIRST_LABEL// /_}.html"
