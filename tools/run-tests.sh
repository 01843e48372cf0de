#!/usr/bin/env bash
# Runs every test of the built trees and ends with one summary line.
set -uo pipefail
passed=0 failed=0
for tree in "$@"; do
  [ -f "$tree/CTestTestfile.cmake" ] || continue
  out=$(cd "$tree" && ctest --output-on-failure -j "$(nproc)" 2>&1)
  echo "$out"
  summary=$(echo "$out" | grep -E 'tests passed, [0-9]+ tests failed out of' | tail -1)
  total=$(echo "$summary" | sed -E 's/.* out of ([0-9]+).*/\1/')
  bad=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
  [ -n "$total" ] || continue
  passed=$((passed + total - bad)); failed=$((failed + bad))
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
