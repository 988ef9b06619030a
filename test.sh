#!/usr/bin/env bash
# Installs what is missing, builds and runs the tests.
#   ./test.sh             every test, in build/
#   ./test.sh --sanitize  every test under AddressSanitizer and
#                         UndefinedBehaviorSanitizer, in build-asan/
#   ./test.sh --tsan      the tests that start threads (worker, search, forms) under ThreadSanitizer, in
#                         build-tsan/
set -euo pipefail
cd "$(dirname "$0")"

mode="${1:-}"
tools/install-deps.sh

jobs="$(nproc)"
# The sanitizer builds are for finding faults, not for speed: -O1 (what the
# sanitizers recommend) and line tables compile in about half the time.
checked_build=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")
case "$mode" in
  "")
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPICTORA_BUILD_TESTS=ON
    cmake --build build -j "$jobs"
    ctest --test-dir build --output-on-failure -j "$jobs"
    ;;
  --sanitize)
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    # The desktop program's tests too: closing the window while outcomes are
    # queued and a study runs must not touch freed memory.
    cmake -S . -B build-asan -G Ninja "${checked_build[@]}" -DPICTORA_BUILD_TESTS=ON \
      -DPICTORA_BUILD_GUI=ON -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags"
    cmake --build build-asan -j "$jobs"
    # The GUI tests run in C.UTF-8 only: the users' locale changes how
    # numbers read, which ./test.sh checks, not how memory is used.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
      ctest --test-dir build-asan --output-on-failure -j "$jobs" -E '\.pt_BR$'
    ;;
  --tsan)
    # Only the targets whose tests start threads: the engine's and the
    # form's, whose worker loads, codes and saves while the window is served.
    flags="-fsanitize=thread -fno-omit-frame-pointer"
    engine="worker_tests quantizer_tests support_tests measures_tests study_tests"
    forms="form_tests file_commands_tests compare_form_tests"
    cmake -S . -B build-tsan -G Ninja "${checked_build[@]}" -DPICTORA_BUILD_TESTS=ON \
      -DPICTORA_BUILD_GUI=ON -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags"
    # Tests that start no thread only cost time here (the entropy coder's and
    # the plain comparison of single searches, minutes under the race
    # checker), and the forms' threads are the same in either locale, so the
    # forms run once, in C.
    single_threaded="ContextualCoder\\.|NeuronSearchTest\\.FindsThePlainScansNeuronForEveryFloor"
    # The comparison form's tests start pictora-cli (fork and exec) while
    # Qt's threads run, which die_after_fork=0 lets through.
    # shellcheck disable=SC2086
    cmake --build build-tsan -j "$jobs" --target $engine $forms
    TSAN_OPTIONS="halt_on_error=1 die_after_fork=0 suppressions=$PWD/tests/tsan.supp" \
      ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
      -R "^((${engine// /|})\\.|(${forms// /|})\$)" -E "^quantizer_tests\\.(${single_threaded})"
    ;;
  *)
    echo "usage: $0 [--sanitize|--tsan]" >&2
    exit 2
    ;;
esac
