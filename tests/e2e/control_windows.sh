#!/usr/bin/env bash
# The controls' own tests (tests/unit/ControlWin32Test.cpp) make windows, so they run here on the
# rig's private display; the plain unit test run has none and skips them.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

cd "$RIG_TMP"
# To a file: Wine's own helper processes, started by this first program, keep a pipe open.
status=0
wine "$UNIT_TESTS" --gtest_filter='Controls.*' >"$RIG_TMP/report.txt" 2>&1 || status=$?
report=$(tr -d '\r' <"$RIG_TMP/report.txt")
[ "$status" -eq 0 ] || rig_fail "the controls' tests failed:"$'\n'"$report"
! grep -q SKIPPED <<<"$report" || rig_fail "the controls' tests were skipped:"$'\n'"$report"
grep -q 'PASSED.* [1-9][0-9]* test' <<<"$report" || rig_fail "no controls' test ran:"$'\n'"$report"
echo "PASS [$RIG_NAME]"
