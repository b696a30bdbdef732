#!/usr/bin/env bash
# Installs what Lumavine Designer needs on Debian 12, as far as it is missing, then configures
# and builds the main build (build/). A second run installs nothing and only brings the build
# up to date.
#
#   bash scripts/setup.sh [--no-build] [TARGET...]
#
# TARGETs are ninja targets of the main build (all of them when none is given).
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# Debian packages. Later subsystems add theirs here.
APT_PACKAGES=(
    # Tool chain; clang with its runtime for libFuzzer and the sanitizers.
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    # Tests and benchmarks.
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    # Libraries of core/ and net/; zlib decodes gzip and deflate bodies of web answers.
    libcrypto++-dev uuid-dev libssl-dev zlib1g-dev
    # Real peers for the network tests: openssl for TLS, pyftpdlib for FTP, lftp as a second client.
    openssl ca-certificates python3 python3-pyftpdlib lftp
    # A second FTP server, with explicit TLS that insists on resumed sessions for data connections.
    vsftpd
    # xmllint, the reference the XML benchmark is measured against.
    libxml2-utils
    # Pictures, pages and the windows; a font family so captions measure the same everywhere.
    qt6-base-dev libgif-dev fonts-dejavu-core
    # The browser the tests of generated pages drive through playwright-core.
    chromium
    # Short video and sound made at test time for the media tests of generated pages.
    ffmpeg
    # Windows as a person sees them: a virtual display, pointer and keys, screenshots.
    xvfb xdotool imagemagick
)

# npm packages come from package.json and package-lock.json at the repository root: the
# browser tests of the generated pages use playwright-core to drive Debian's chromium.
NODE_PACKAGE_FILE="$LUMAVINE_ROOT/package.json"

BUILD=1
TARGETS=()
for argument in "$@"; do
    case "$argument" in
    --no-build) BUILD=0 ;;
    -*)
        echo "setup.sh: unknown option '$argument'" >&2
        exit 2
        ;;
    *) TARGETS+=("$argument") ;;
    esac
done

asRoot()
{
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "setup.sh: installing packages needs root; run as root or install sudo" >&2
        return 1
    fi
}

missingPackages()
{
    local package status
    for package in "$@"; do
        status="$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)"
        [[ "$status" == ii* ]] || echo "$package"
    done
}

installAptPackages()
{
    local wanted=("${APT_PACKAGES[@]}")
    # A machine that already has node and npm (from any source) keeps them.
    if [ -f "$NODE_PACKAGE_FILE" ] && ! command -v npm >/dev/null 2>&1; then
        wanted+=(nodejs npm)
    fi

    local missing
    mapfile -t missing < <(missingPackages "${wanted[@]}")
    if [ "${#missing[@]}" -eq 0 ]; then
        echo "setup: all ${#wanted[@]} Debian packages are installed"
        return 0
    fi
    echo "setup: installing ${missing[*]}"
    asRoot env DEBIAN_FRONTEND=noninteractive apt-get update -q </dev/null
    asRoot env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null

    mapfile -t missing < <(missingPackages "${wanted[@]}")
    if [ "${#missing[@]}" -ne 0 ]; then
        echo "setup: still missing after apt-get install: ${missing[*]}" >&2
        return 1
    fi
}

installNodePackages()
{
    [ -f "$NODE_PACKAGE_FILE" ] || return 0
    local lock="$LUMAVINE_ROOT/package-lock.json"
    local installed="$LUMAVINE_ROOT/node_modules/.package-lock.json"
    if [ -f "$installed" ] && [ "$installed" -nt "$lock" ]; then
        echo "setup: npm packages are installed"
        return 0
    fi
    echo "setup: installing npm packages"
    (cd "$LUMAVINE_ROOT" && npm ci --no-audit --no-fund </dev/null)
}

installAptPackages
installNodePackages

if [ "$BUILD" -eq 1 ]; then
    lumavine_configure_main
    ninja -C "$LUMAVINE_BUILD_DIR" -j "$LUMAVINE_JOBS" "${TARGETS[@]}"
fi
