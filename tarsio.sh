#!/usr/bin/env bash
# Tarsio's one entry point for people and CI.
#   ./tarsio.sh run     set up, build and start Tarsio
#   ./tarsio.sh test    set up, build and run every test headless (also under the sanitizers)
#   ./tarsio.sh bench   set up, build and run the benchmarks (Release)
#   ./tarsio.sh art     redraw the images under resources/
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc)

setup() { bash tools/setup.sh; }

build() { # build <dir> <build type> [cmake args...]
  local dir=$1 type=$2; shift 2
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" > "$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs"
}

# Tests that drag files with the real pointer run one at a time after the others, and are given up to
# five tries: a drag from the GTK source now and then never completes its drop on the JUCE window.
real_drags='DropOnHomePage|MainRoad'

run_tests() { # run_tests <dir> [ctest args...]
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 -E "$real_drags" "$@")
  (cd "$dir" && ctest --output-on-failure -j 1 --timeout 300 -R "$real_drags" --repeat until-pass:5)
}

case "${1:-}" in
  run)
    setup
    mkdir -p build-release
    build build-release Release -DTARSIO_BUILD_TESTS=OFF -DTARSIO_BUILD_ARTGEN=OFF
    exec "build-release/Tarsio_artefacts/Release/Tarsio"
    ;;
  test)
    setup
    mkdir -p build build-asan build-tsan
    # Each test process starts an X server of its own (Xvfb with openbox) for its windows.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/tools/ubsan.supp"
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tools/tsan.supp"
    echo "== Debug build and tests"
    build build Debug -DTARSIO_BUILD_BENCHMARKS=ON
    run_tests build
    echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
    build build-asan Debug -DTARSIO_SANITIZE=address,undefined -DTARSIO_BUILD_BENCHMARKS=OFF -DTARSIO_BUILD_ARTGEN=OFF
    run_tests build-asan
    echo "== ThreadSanitizer (the tests that run threads)"
    build build-tsan Debug -DTARSIO_SANITIZE=thread -DTARSIO_BUILD_BENCHMARKS=OFF -DTARSIO_BUILD_ARTGEN=OFF
    (cd build-tsan && ctest --output-on-failure -j "$jobs" --timeout 300 -R 'Thread|Shutdown|Player|Playback|RenameBatch')
    ;;
  bench)
    setup
    mkdir -p build-release
    build build-release Release -DTARSIO_BUILD_TESTS=OFF -DTARSIO_BUILD_ARTGEN=OFF
    # The page benchmarks run in a real window: without a display, give them one with a window manager.
    if [ -z "${DISPLAY:-}" ]; then
      exec xvfb-run -a -s "-screen 0 1920x1200x24" \
        bash -c 'openbox --sm-disable > /dev/null 2>&1 & sleep 1; exec "$@"' _ build-release/bench/tarsio_bench "${@:2}"
    fi
    build-release/bench/tarsio_bench "${@:2}"
    ;;
  art)
    setup
    mkdir -p build
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug > /dev/null
    cmake --build build --target tarsio_artgen -j "$jobs"
    build/tools/tarsio_artgen_artefacts/Debug/tarsio_artgen "$root/resources"
    ;;
  *)
    sed -n '2,7p' "$0"
    exit 2
    ;;
esac
