#!/usr/bin/env bash
# Sets up the machine and runs every test of Lumavine Designer, in four stages:
#
#   test   the main build (build/, warnings are errors, benchmarks compiled but not run) and all tests
#   asan   a build under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/) and all tests
#   fuzz   a clang build of the libFuzzer targets (build-fuzz/), each run for a bounded time
#   tsan   a build under ThreadSanitizer (build-tsan/) of the app tests only, running those that
#          generate pages, which draw their pictures on several threads (about two minutes)
#
# Every stage runs even when an earlier one failed; the last line counts the stages that passed
# and failed, and the exit status is non-zero when any failed.
#
# Environment:
#   LUMAVINE_STAGES        the stages to run, in order (default "test asan fuzz tsan")
#   LUMAVINE_FUZZ_SECONDS  how long each fuzz target runs (default 30)
#   LUMAVINE_BUILD_DIR     the main build directory (default build)
#   LUMAVINE_JOBS          parallel compile jobs (default: the number of cores)
set -uo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

STAGES="${LUMAVINE_STAGES:-test asan fuzz tsan}"
FUZZ_SECONDS="${LUMAVINE_FUZZ_SECONDS:-30}"
ASAN_BUILD_DIR="$LUMAVINE_BUILD_DIR-asan"
FUZZ_BUILD_DIR="$LUMAVINE_BUILD_DIR-fuzz"
TSAN_BUILD_DIR="$LUMAVINE_BUILD_DIR-tsan"

# No single test may hold up the run; a hung test fails rather than eating the CI time.
CTEST_ARGS=(--output-on-failure -j2 --timeout 300 --no-tests=error)

# Anything that draws runs without a display.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

for stage in $STAGES; do
    case "$stage" in
    test | asan | fuzz | tsan) ;;
    *)
        echo "test.sh: unknown stage '$stage' in LUMAVINE_STAGES (known: test asan fuzz tsan)" >&2
        exit 2
        ;;
    esac
done
if ! [[ "$FUZZ_SECONDS" =~ ^[1-9][0-9]*$ ]]; then
    echo "test.sh: LUMAVINE_FUZZ_SECONDS must be a positive number of seconds" >&2
    exit 2
fi

if ! bash "$LUMAVINE_ROOT/scripts/setup.sh" --no-build; then
    echo "test.sh: set-up failed; no stage was run" >&2
    echo "0 passed, 1 failed"
    exit 1
fi

stageTest()
{
    lumavine_configure_main || return 1
    ninja -C "$LUMAVINE_BUILD_DIR" -j "$LUMAVINE_JOBS" || return 1
    ctest --test-dir "$LUMAVINE_BUILD_DIR" "${CTEST_ARGS[@]}"
}

# Configures a build of the tests under a sanitizer in the folder $1, with the options that follow.
# -O1 keeps the sanitized tests quick without the optimizer's false warnings at -O2.
configureSanitizedTests()
{
    local directory="$1"
    shift
    cmake -S "$LUMAVINE_ROOT" -B "$directory" -G Ninja \
        -DCMAKE_BUILD_TYPE=Debug \
        "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" \
        -DLUMAVINE_WERROR=ON \
        -DLUMAVINE_FUZZ=OFF \
        -DLUMAVINE_TESTS=ON \
        -DLUMAVINE_BENCH=OFF \
        "$@"
}

stageAsan()
{
    # Test discovery runs the test programs while building, so the options hold for the build too.
    export ASAN_OPTIONS="detect_leaks=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    configureSanitizedTests "$ASAN_BUILD_DIR" -DLUMAVINE_SANITIZE=ON || return 1
    ninja -C "$ASAN_BUILD_DIR" -j "$LUMAVINE_JOBS" || return 1
    ctest --test-dir "$ASAN_BUILD_DIR" "${CTEST_ARGS[@]}"
}

# Runs one fuzz target for FUZZ_SECONDS on a fresh corpus seeded from the repository.
runFuzzer()
{
    local program="$1"
    local name
    name="$(basename "$program")"
    local work
    work="$(mktemp -d)"
    mkdir -p "$work/corpus"

    # Seeds live in fuzz/<library>/corpus-<target>/, for example fuzz/core/corpus-core_properties_fuzzer/.
    # libFuzzer writes new inputs into the first corpus only, so the seeds stay as they are.
    local seeds=() directory
    for directory in "$LUMAVINE_ROOT"/fuzz/*/corpus-"$name"; do
        [ -d "$directory" ] && seeds+=("$directory")
    done

    # Crashing inputs are kept in the build for reproducing: <program> <artifact>.
    local artifacts="$FUZZ_BUILD_DIR/artifacts/$name"
    mkdir -p "$artifacts"

    echo "--- $name: ${FUZZ_SECONDS} s, seeds: ${seeds[*]:-none}"
    local status=0
    # -timeout catches a hang on one input; the outer timeout catches a fuzzer that never ends.
    timeout --kill-after=30 "$((FUZZ_SECONDS + 120))" \
        "$program" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 -detect_leaks=1 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work/corpus" "${seeds[@]}" \
        >"$work/log" 2>&1 </dev/null || status=$?

    if [ "$status" -eq 0 ]; then
        grep -E '^Done [0-9]+ runs' "$work/log" || tail -n 3 "$work/log"
        echo "--- $name: no crash, hang or leak"
    else
        tail -n 80 "$work/log"
        if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
            echo "--- $name: FAILED: still running $((FUZZ_SECONDS + 120)) s after it should have ended"
        else
            echo "--- $name: FAILED (exit status $status); the failing input is kept in $artifacts"
        fi
    fi
    rm -rf "$work"
    return "$status"
}

stageFuzz()
{
    # The fuzz build checks with UBSan without stopping at each report; stop at the first, so
    # that libFuzzer counts it as a crash.
    export ASAN_OPTIONS="detect_leaks=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    cmake -S "$LUMAVINE_ROOT" -B "$FUZZ_BUILD_DIR" -G Ninja \
        -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMAVINE_FUZZ=ON \
        -DLUMAVINE_WERROR=ON \
        -DLUMAVINE_SANITIZE=OFF \
        -DLUMAVINE_TESTS=OFF \
        -DLUMAVINE_BENCH=OFF || return 1
    # Programs of targets that no longer exist would otherwise be fuzzed below.
    ninja -C "$FUZZ_BUILD_DIR" -t cleandead >/dev/null || return 1
    ninja -C "$FUZZ_BUILD_DIR" -j "$LUMAVINE_JOBS" || return 1

    # Every program built from fuzz/ is a fuzz target, whatever its name, so none is left out.
    local programs
    mapfile -t programs < <(find "$FUZZ_BUILD_DIR/fuzz" -type f -perm -u+x -not -path '*/CMakeFiles/*' | sort)
    if [ "${#programs[@]}" -eq 0 ]; then
        echo "no fuzz targets were built from fuzz/"
        return 1
    fi
    local program failures=0
    for program in "${programs[@]}"; do
        runFuzzer "$program" || failures=$((failures + 1))
    done
    echo "fuzz targets: $((${#programs[@]} - failures)) without fault, $failures with a fault"
    [ "$failures" -eq 0 ]
}

# The tests that run page generation on several threads; the one that starts the program
# itself is left out, as the stage builds only the test program.
TSAN_TESTS="PageDocument*:SiteGeneration*:ProjectRobustness*-ProjectRobustness.TheProgramFailsWithTheMessageOnStandardError"

stageTsan()
{
    # Qt is not built with ThreadSanitizer, so what it does inside itself is
    # unseen; the suppressions name only Qt's and the system's frames, never ours.
    export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$LUMAVINE_ROOT/scripts/tsan.supp"
    configureSanitizedTests "$TSAN_BUILD_DIR" -DLUMAVINE_TSAN=ON -DLUMAVINE_SANITIZE=OFF || return 1
    ninja -C "$TSAN_BUILD_DIR" -j "$LUMAVINE_JOBS" app_tests || return 1
    # As ctest runs them: from their source folder, with a settings store of their own.
    (cd "$LUMAVINE_ROOT/tests/app" &&
        LUMAVINE_REGISTRY="$TSAN_BUILD_DIR/registry-tsan.xml" \
            "$TSAN_BUILD_DIR/tests/app/app_tests" --gtest_filter="$TSAN_TESTS")
}

stageTitle()
{
    case "$1" in
    test) echo "normal build with warnings as errors ($LUMAVINE_BUILD_DIR), all tests" ;;
    asan) echo "AddressSanitizer and UndefinedBehaviorSanitizer build ($ASAN_BUILD_DIR), all tests" ;;
    fuzz) echo "libFuzzer targets ($FUZZ_BUILD_DIR), ${FUZZ_SECONDS} s each" ;;
    tsan) echo "ThreadSanitizer build ($TSAN_BUILD_DIR), the tests that generate pages" ;;
    esac
}

stageFunction()
{
    case "$1" in
    test) echo stageTest ;;
    asan) echo stageAsan ;;
    fuzz) echo stageFuzz ;;
    tsan) echo stageTsan ;;
    esac
}

read -r -a stageList <<<"$STAGES"
passed=0
failed=0
summary=()
number=0
for stage in "${stageList[@]}"; do
    number=$((number + 1))
    title="$(stageTitle "$stage")"
    echo
    echo "==== Stage $number of ${#stageList[@]}: $title ===="
    started=$SECONDS
    # Each stage in a subshell, so that what one exports does not reach the next.
    if ("$(stageFunction "$stage")"); then
        passed=$((passed + 1))
        result="passed"
    else
        failed=$((failed + 1))
        result="FAILED"
    fi
    elapsed=$((SECONDS - started))
    echo "==== Stage $number of ${#stageList[@]} $result after ${elapsed} s"
    summary+=("  $result  $stage: $title (${elapsed} s)")
done

echo
echo "==== Summary of the stages"
printf '%s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
