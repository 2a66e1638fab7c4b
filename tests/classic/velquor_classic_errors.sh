#!/bin/sh
# The velquor command with --library classic: decoding in any JSON encoding, and one stderr line
# starting with the error's domain and code, exit status 65, for a document it cannot use.
set -u
velquor=$1
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_failure NAME PREFIX: runs params check on $scratch/NAME; stderr must be one line starting with PREFIX.
expect_failure() {
  "$velquor" params check --library classic "$scratch/$1" >"$scratch/out" 2>"$scratch/err"
  status=$?
  [ "$status" -eq 65 ] || fail "$1: exit status $status, not 65"
  [ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "$1: stderr is not one line: $(cat "$scratch/err")"
  case "$(cat "$scratch/err")" in
    "$2"*) ;;
    *) fail "$1: stderr does not start with '$2': $(cat "$scratch/err")" ;;
  esac
  [ ! -s "$scratch/out" ] || fail "$1: printed something on stdout"
}

printf '{"hash":"h","amount":' >"$scratch/truncated.json"
expect_failure truncated.json 'NSCocoaErrorDomain 3840: '
printf '"a bare string"' >"$scratch/fragment.json"
expect_failure fragment.json 'JSONSerialization -1: NSInvalidArgumentException'
printf '\377\376{\000"\000x' >"$scratch/utf16-cut.json"
expect_failure utf16-cut.json 'NSCocoaErrorDomain 3840: '

# UTF-16LE with a mark, and UTF-32BE without one.
printf '\377\376{\000"\000a\000m\000o\000u\000n\000t\000"\000:\000"\0001\000"\000}\000' >"$scratch/utf16.json"
"$velquor" params check --library classic "$scratch/utf16.json" >"$scratch/out" 2>"$scratch/err" ||
  fail "utf16.json: $(cat "$scratch/err")"
grep -q '"amount":"1"' "$scratch/out" || fail "utf16.json: $(cat "$scratch/out")"
printf '\000\000\000{\000\000\000}' >"$scratch/utf32.json"
"$velquor" params check --library classic "$scratch/utf32.json" >"$scratch/out" 2>"$scratch/err" ||
  fail "utf32.json: $(cat "$scratch/err")"

# Without --endpoint the launcher without an endpoint runs: the page posts to the default endpoint.
printf '{"amount":"10.00"}' >"$scratch/params.json"
"$velquor" form --library classic "$scratch/params.json" >"$scratch/page" 2>"$scratch/err" || fail "form: $(cat "$scratch/err")"
head -c 80 "$scratch/page" | grep -q '^<form action="https://[^"]*/v2/paymentrequest" id="payment_form"' ||
  fail "form: $(head -c 120 "$scratch/page")"
grep -q 'value="10.00"   name="amount"' "$scratch/page" || fail "form: amount missing"
"$velquor" form --library classic --endpoint 'https://gw.example/pay' "$scratch/params.json" >"$scratch/page" ||
  fail "form with endpoint"
head -c 60 "$scratch/page" | grep -q '^<form action="https://gw.example/pay"' || fail "form: endpoint not used"

[ "$failures" -eq 0 ]
