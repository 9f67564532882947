#!/bin/sh
# orvanta-bench takeover prints the question and the completion message and
# writes the database; addstation refuses what the dialog refuses.
# usage: bench-takeover.sh ORVANTA_BENCH
set -u
bench=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '//x\r\nQ1AB,JO01AA,,,,,,01/18\r\nZZZZZZ\r\n' >"$dir/CALL3.txt"
printf '2019-05-07,12:00:00,Q1AB,JO02,144.174,FT8,-10,-12,,\n2019-05-07,12:01:00,Q1CD,RR73,144.174,FT8,-10,-12,,\n' >"$dir/wsjtx.log"
status=0

if ! "$bench" takeover "$dir/CALL3.txt" "$dir/wsjtx.log" >"$dir/out" 2>"$dir/err"; then
  echo "takeover exited non-zero"; cat "$dir/err"; status=1
fi
if [ "$(head -n 1 "$dir/out")" != "0 stations new, 1 changed, 0 unchanged, 1 contact skipped without a valid call or locator." ]; then
  echo "takeover question: $(cat "$dir/out")"; status=1
fi
if ! grep -q "taken over into" "$dir/out"; then echo "completion message missing"; status=1; fi
if [ "$(cat "$dir/CALL3.txt")" != "$(printf '//x\r\nQ1AB,JO02,,,,,,05/19\r\nZZZZZZ\r')" ]; then
  echo "taken over: $(cat "$dir/CALL3.txt")"; status=1
fi

# Taken over already: nothing is asked, nothing written, and that is no failure.
if ! "$bench" takeover "$dir/CALL3.txt" "$dir/wsjtx.log" >"$dir/out" 2>"$dir/err"; then
  echo "second takeover exited non-zero"; cat "$dir/err"; status=1
fi
if ! grep -q "^0 stations new, 0 changed, 1 unchanged" "$dir/out"; then echo "second: $(cat "$dir/out")"; status=1; fi

if "$bench" addstation "$dir/CALL3.txt" Q2EF RR73 >"$dir/out" 2>"$dir/err"; then
  echo "addstation accepted RR73"; status=1
fi
if ! "$bench" addstation "$dir/CALL3.txt" q2ef jo03 EME >"$dir/out" 2>"$dir/err"; then
  echo "addstation exited non-zero"; cat "$dir/err"; status=1
fi
cr=$(printf '\r')
if ! grep -q "^Q2EF,JO03,EME,,,,,$cr\$" "$dir/CALL3.txt"; then echo "added: $(cat "$dir/CALL3.txt")"; status=1; fi
exit $status
