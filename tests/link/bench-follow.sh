#!/bin/sh
# orvanta-bench follow over the loopback interface, datagrams from
# orvanta-bench send: every line it prints, TAB-separated, "-" for empty.
set -eu
bench=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '//h\r\nQ1ABC,JO62,EME\r\nQ1AB,JO22,MS\r\n' >"$dir/CALL3.txt"
"$bench" follow --port 0 --count 6 --seconds 20 --add "$dir/CALL3.txt" >"$dir/out" 2>/dev/null &
while [ ! -s "$dir/out" ]; do sleep 0.05; done
port=$(cut -f 3 "$dir/out")
"$bench" send "$port" heartbeat,JTDX status,WSJT-X,q1ab,,50313000,FT8,JO31 status,WSJT-X,Q1AB,,50313000,FT8,JO31 \
  "status,WSJT-X - rig2,<Q9ZZ>,JN58,1000,JT65," logged,WSJT-X,Q9ZZ,JN58TD close,JTDX
wait
tab=$(printf '\t')
cat >"$dir/expected" <<END
listening${tab}127.0.0.1${tab}$port
heartbeat${tab}JTDX${tab}3${tab}2.7.0${tab}-
status${tab}WSJT-X${tab}Q1AB${tab}-${tab}6m${tab}FT8
record${tab}Q1AB${tab}JO22${tab}MS${tab}-${tab}-${tab}-${tab}-${tab}01/00
worked${tab}0
bearing${tab}310${tab}176
status${tab}WSJT-X${tab}Q1AB${tab}-${tab}6m${tab}FT8
status${tab}WSJT-X - rig2${tab}Q9ZZ${tab}JN58${tab}-${tab}JT65
absent${tab}Q9ZZ
worked${tab}0
bearing${tab}-${tab}-
logged${tab}WSJT-X${tab}Q9ZZ${tab}JN58TD${tab}2m${tab}FT8
worked${tab}1
added${tab}Q9ZZ${tab}new${tab}-
close${tab}JTDX
END
diff "$dir/expected" "$dir/out"
grep -q '^Q9ZZ,JN58TD,' "$dir/CALL3.txt"
