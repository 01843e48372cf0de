#!/usr/bin/env bash
# Runs every test of the built trees (in the order given) and ends with one
# summary line: "N passed, N failed".
set -uo pipefail
passed=0 failed=0
for tree in "$@"; do
  [ -f "$tree/CTestTestfile.cmake" ] || continue
  echo "== tests of $tree"
  out=$(cd "$tree" && ctest --output-on-failure -j "${JOBS:-2}" 2>&1)
  code=$?
  echo "$out"
  summary=$(echo "$out" | grep -E 'tests passed, [0-9]+ tests failed out of' | tail -1)
  if [ -z "$summary" ]; then
    # No tests in this tree is fine; ctest failing without a summary is not.
    if [ $code -ne 0 ] && ! echo "$out" | grep -q 'No tests were found'; then
      echo "run-tests: ctest failed in $tree without a summary" >&2
      failed=$((failed + 1))
    fi
    continue
  fi
  total=$(echo "$summary" | sed -E 's/.* out of ([0-9]+).*/\1/')
  bad=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
  passed=$((passed + total - bad)); failed=$((failed + bad))
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
