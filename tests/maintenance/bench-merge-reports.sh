#!/bin/sh
# orvanta-bench merge reports records only when the merge completed; a
# refused merge ends with a non-zero exit and the refusal's text.
# usage: bench-merge-reports.sh ORVANTA_BENCH
set -u
bench=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/a" "$dir/b"
printf '//x\r\nQ1AB,JO01AA,,,,,,01/19\r\n' >"$dir/a/CALL3.txt"
printf '//x\r\nQ1CD,JO01AA,,,,,,01/19\r\n' >"$dir/b/CALL3.txt"
status=0

# The same file twice: one database only, the merge refuses.
if "$bench" merge "$dir/a/CALL3.txt" "$dir/a/./CALL3.txt" >"$dir/out" 2>"$dir/err"; then
  echo "refused merge exited 0"; status=1
fi
if grep -q "records:" "$dir/out"; then echo "refused merge reported records"; status=1; fi
if ! grep -q "Several data bases" "$dir/err"; then echo "refusal text missing"; status=1; fi
if [ -e "$dir/a/CALL3_Old.txt" ]; then echo "refused merge touched a file"; status=1; fi

# Two folders: the merge completes and reports its records.
if ! "$bench" merge "$dir/a/CALL3.txt" "$dir/b/CALL3.txt" >"$dir/out" 2>"$dir/err"; then
  echo "completed merge exited non-zero"; cat "$dir/err"; status=1
fi
if ! grep -qx "records: 2" "$dir/out"; then echo "completed merge: $(cat "$dir/out")"; status=1; fi

# WSJT-X's spelling: each file is replaced under its own name and counted there.
mv "$dir/a/CALL3.txt" "$dir/a/CALL3.TXT" && mv "$dir/b/CALL3.txt" "$dir/b/CALL3.TXT"
"$bench" merge "$dir/a/CALL3.TXT" "$dir/b/CALL3.TXT" >"$dir/out" 2>"$dir/err" && grep -qx "records: 2" "$dir/out" ||
  { echo "merge of CALL3.TXT: $(cat "$dir/out" "$dir/err")"; status=1; }
exit $status
