#!/usr/bin/env bash
# The tests under sanitizers, each build in a folder of its own:
#  - build-asan: AddressSanitizer (leaks included) with UndefinedBehaviorSanitizer; every test
#    binary runs whole in one process, shuffled and repeated, then the tests that run the
#    program or a script;
#  - build-tsan: ThreadSanitizer over the tests of the work that crosses threads.
# Any finding ends the process that made it, and so fails this script. Findings inside
# third-party libraries are suppressed in scripts/sanitizer-suppressions, nothing else.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh tests
root=$PWD
jobs=$(nproc)
launcher=()
if command -v ccache > /dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
export QT_QPA_PLATFORM=offscreen
# No desktop session of this machine is asked anything.
unset DBUS_SESSION_BUS_ADDRESS

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One file of suppressions; each sanitizer reads only its own kind.
for kind in leak race called_from_lib; do
  grep "^$kind:" scripts/sanitizer-suppressions > "$work/$kind.supp" || true
done
cat "$work/race.supp" "$work/called_from_lib.supp" > "$work/thread.supp"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$work/leak.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Qt starts a child process with clone(CLONE_VM|CLONE_VFORK): the child runs in the parent's memory
# until it executes the program, and ThreadSanitizer, seeing it, takes the parent for a child of a
# fork and would end it at its next new thread.
export TSAN_OPTIONS="halt_on_error=1:die_after_fork=0:second_deadlock_stack=1:suppressions=$work/thread.supp:print_suppressions=0"

failed=()
# run LOG COMMAND...: runs it with its output in LOG, shown when it fails.
run() {
  local log=$1
  shift
  if "$@" > "$log" 2>&1; then
    echo "passed: $*"
  else
    echo "FAILED ($?): $*"
    tail -n 200 "$log"
    return 1
  fi
}

# A test binary in one process, as its tests would never be run by CTest.
run_binary() {
  local binary=$1
  shift
  local environment=()
  # The country of the locale is offered as the country code (as CTest runs it).
  [ "$(basename "$binary")" = certificate_pages_tests ] && environment=(LANG=de_AT.UTF-8)
  run "$work/$(basename "$binary").log" env "${environment[@]}" "$binary" "$@" || return
  # A binary, or a filter, that selects no test passes while testing nothing.
  grep -q '^\[==========\] Running [1-9]' "$work/$(basename "$binary").log" || { echo "no test ran: $binary $*"; return 1; }
}

started=$SECONDS
cmake -S . -B build-asan -G Ninja -DZINTREL_TESTS=ON -DZINTREL_SANITIZE=address "${launcher[@]}" > /dev/null
cmake --build build-asan
mapfile -t binaries < <(find build-asan/tests -name '*_tests' -type f -perm -u+x | sort)
# Every binary whose tests CTest knows, and no other: one left out (renamed, moved, not built)
# would pass by never running. CTest gives no command for a test whose program is missing.
known=$(ctest --test-dir build-asan --show-only=json-v1 | python3 -c '
import json, os, sys
tests = os.path.realpath(sys.argv[1])
known = set()
for test in json.load(sys.stdin)["tests"]:
    if not test.get("command"):
        known.add("no program for " + test["name"])
    elif os.path.realpath(test["command"][0]).startswith(tests + os.sep):
        known.add(os.path.relpath(test["command"][0]))
print("\n".join(sorted(known)))
' build-asan/tests)
if [ -z "$known" ] || [ "$known" != "$(printf '%s\n' "${binaries[@]}")" ]; then
  echo "the test binaries in build-asan are not those CTest knows:"
  diff <(printf '%s\n' "${binaries[@]}") <(echo "$known") || true
  exit 1
fi
# The binaries in parallel, one per core.
pids=()
for binary in "${binaries[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_binary "$binary" --gtest_shuffle --gtest_repeat=2 &
  pids+=($!)
done
for i in "${!pids[@]}"; do wait "${pids[$i]}" || failed+=("${binaries[$i]}"); done
# The program and the scripts (the package is checked in the plain build only).
ctest --test-dir build-asan -L own -E '^Package\.' --no-tests=error --output-on-failure -j "$jobs" --timeout 900 || failed+=("build-asan: tests of the program")
echo "AddressSanitizer and UndefinedBehaviorSanitizer: $((SECONDS - started)) s"

started=$SECONDS
cmake -S . -B build-tsan -G Ninja -DZINTREL_TESTS=ON -DZINTREL_SANITIZE=thread "${launcher[@]}" > /dev/null
threaded=(foundation_tests xaml_tests checksums_tests checksums_page_tests certificate_pages_tests)
# The build runs a Qt program of its own (the icons); Qt races inside itself, unseen uninstrumented.
TSAN_OPTIONS=report_bugs=0 cmake --build build-tsan --target "${threaded[@]}"
tsan() {
  run_binary "build-tsan/tests/$1/$2" --gtest_shuffle "--gtest_filter=$3" || failed+=("build-tsan: $2 $3")
}
tsan foundation foundation_tests 'Async.*:ThreadPool.*:Generator.*'
tsan xaml xaml_tests 'Dispatching.*'
tsan checksums checksums_tests 'ChecksumFiles.*'
tsan checksums checksums_page_tests '*'
tsan certificates certificate_pages_tests '*Run*:*DeathTest*'
echo "ThreadSanitizer: $((SECONDS - started)) s"

if [ ${#failed[@]} -gt 0 ]; then
  printf 'sanitizer findings or failures in: %s\n' "${failed[@]}"
  exit 1
fi
echo "the tests pass under AddressSanitizer, UndefinedBehaviorSanitizer and ThreadSanitizer"
