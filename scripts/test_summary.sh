#!/usr/bin/env bash
# The closing summary of `make test`: one line per test runner from the results its step left
# in the results folder (CTest JUnit files, the 32-bit checks' counts), a step without results
# named as not run, and the totals last. Exit status 0 only when every runner ran and passed.
set -euo pipefail

results=${1:?usage: test_summary.sh <results folder>}

total_passed=0
total_failed=0
incomplete=0

report() {
  local title=$1 passed=$2 failed=$3 skipped=$4
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  local line
  line=$(printf '  %-28s %4d passed, %d failed' "$title" "$passed" "$failed")
  [ "$skipped" -gt 0 ] && line+=", $skipped skipped"
  echo "$line"
}

# A CTest JUnit file: the counts are attributes of its <testsuite> element.
ctest_runner() {
  local title=$1 file=$results/$2
  if [ ! -f "$file" ]; then
    printf '  %-28s not run (its build or its step failed)\n' "$title"
    incomplete=1
    return
  fi
  local suite tests failures skipped disabled
  # CTest writes the element's attributes one per line.
  suite=$(tr '\n\t' '  ' <"$file" | sed -n 's/^.*\(<testsuite [^>]*>\).*$/\1/p')
  attribute() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$suite"; }
  tests=$(attribute tests)
  failures=$(attribute failures)
  skipped=$(attribute skipped)
  disabled=$(attribute disabled)
  report "$title" $((${tests:-0} - ${failures:-0} - ${skipped:-0} - ${disabled:-0})) \
    "${failures:-0}" $((${skipped:-0} + ${disabled:-0}))
}

echo
echo "Summary of make test"
ctest_runner "unit tests (native)" unit-native.xml
ctest_runner "unit tests (asan)" unit-asan.xml
ctest_runner "Wine tests (win64)" wine.xml
if [ -f "$results/check-win32.txt" ]; then
  read -r passed failed <"$results/check-win32.txt"
  report "32-bit product checks" "$passed" "$failed" 0
else
  printf '  %-28s not run (its build failed)\n' "32-bit product checks"
  incomplete=1
fi
echo "total: $total_passed passed, $total_failed failed"

[ "$total_failed" -eq 0 ] && [ "$incomplete" -eq 0 ]
