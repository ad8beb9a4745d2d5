#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first the core libraries built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz harness for a few seconds,
# then the whole suite of the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs="$(nproc)"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

echo "== Core tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -Og" \
    -DMARQOR_CORE_ONLY=ON -DMARQOR_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan -L core --output-on-failure -j"$jobs"

echo "== Fuzz harnesses, ${FUZZ_SECONDS:-2} s each"
scripts/fuzz.sh -t "${FUZZ_SECONDS:-2}" -j "$jobs"

echo "== All tests"
scripts/build.sh
# The printing tests print on a CUPS server of their own, stopped again when this script ends.
cups_dir="$(mktemp -d)"
cleanup() {
    scripts/cups.sh stop "$cups_dir" >/dev/null 2>&1 || true
    rm -rf "$cups_dir"
}
trap cleanup EXIT
if scripts/cups.sh start "$cups_dir" >/dev/null; then
    export MARQOR_TEST_CUPS_DIR="$cups_dir"
else
    echo "(no CUPS server for the tests: the printing tests skip themselves)"
fi
# A German locale of our own (decimal comma) for the tests that check that number texts do not
# follow the locale; the tests that need it skip themselves where it cannot be made. Only for
# this build: glibc's locale path keeps memory that LeakSanitizer would report.
locales="$PWD/build-locales"
if [ ! -d "$locales/de_DE.UTF-8" ] && [ -d /usr/share/i18n/locales ]; then
    mkdir -p "$locales"
    localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8" >/dev/null 2>&1 || true
fi
[ -d "$locales/de_DE.UTF-8" ] && export LOCPATH="$locales"
ctest --test-dir build --output-on-failure -j"$jobs"
