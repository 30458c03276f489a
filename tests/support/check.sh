# Sourced by the shell tests: one way to count checks and report them.
#   check NAME COMMAND       passes when COMMAND (run by eval) succeeds
#   check_eq NAME WANT GOT   passes when GOT equals WANT
#   check_summary            prints "N passed, M failed"; fails when a check
#                            failed or none ran
passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1"; fi
}
check_eq() {
  if [[ $3 == "$2" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL: %s\n  want: %s\n  got:  %s\n' "$1" "$2" "$3"
  fi
}
check_summary() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
}
