#!/usr/bin/env bash
# Builds the core libraries and their threaded tests with ThreadSanitizer (gcc, in build-tsan/)
# and runs them: the stress test of programs and threads resolving texts, selecting languages
# and writing the user settings at once (MARQOR_STRESS_SCALE rounds times 25, default 20), and
# the suites of the language and the settings stores. Any data race report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DMARQOR_CORE_ONLY=ON -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan -j"${TSAN_BUILD_JOBS:-$(nproc)}" --target stress_tests texts_tests services_tests
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}"
export MARQOR_STRESS_SCALE="${MARQOR_STRESS_SCALE:-20}"
status=0
for t in stress_tests texts_tests services_tests; do
    echo "== $t"
    start=$SECONDS
    if ! "build-tsan/bin/$t" --gtest_brief=1 2>&1 | tee "build-tsan/$t.log" | grep -E "programs x|WARNING: ThreadSanitizer|PASSED|FAILED"; then
        :
    fi
    if grep -q "WARNING: ThreadSanitizer" "build-tsan/$t.log" || ! grep -q "PASSED" "build-tsan/$t.log" ||
        grep -q "FAILED" "build-tsan/$t.log"; then
        echo "$t: failed or reported a race (build-tsan/$t.log)" >&2
        status=1
    fi
    echo "   $((SECONDS - start)) s"
done
exit "$status"
