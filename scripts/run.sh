#!/usr/bin/env bash
# Sets up the machine, builds Lumavine Designer and runs its main job.
#
# Until the site generator exists, the main job is to print the program's version; then this
# generates the site of the bundled sample project.
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$LUMAVINE_ROOT/scripts/setup.sh" lumavine
exec "$LUMAVINE_BUILD_DIR/app/lumavine" --version
