# shellcheck shell=bash
# Shared by the set-up, run and test commands: where things are and how the main build is
# configured. Sourced, not run.

LUMAVINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The main build; the sanitizer and fuzz builds sit beside it as <dir>-asan and <dir>-fuzz.
# A relative LUMAVINE_BUILD_DIR is taken from the repository root.
LUMAVINE_BUILD_DIR="${LUMAVINE_BUILD_DIR:-build}"
case "$LUMAVINE_BUILD_DIR" in
/*) ;;
*) LUMAVINE_BUILD_DIR="$LUMAVINE_ROOT/$LUMAVINE_BUILD_DIR" ;;
esac

LUMAVINE_JOBS="${LUMAVINE_JOBS:-$(nproc)}"

# run.sh and test.sh share this configuration so that switching between them rebuilds nothing.
# Warnings are errors here as in CI: the compiler is Debian 12's, the same on every machine.
lumavine_configure_main()
{
    cmake -S "$LUMAVINE_ROOT" -B "$LUMAVINE_BUILD_DIR" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMAVINE_WERROR=ON \
        -DLUMAVINE_SANITIZE=OFF \
        -DLUMAVINE_FUZZ=OFF \
        -DLUMAVINE_TESTS=ON \
        -DLUMAVINE_BENCH=ON
}
