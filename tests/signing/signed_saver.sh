#!/usr/bin/env bash
# A saver signed after packing, and one packed onto a signed player and signed again: both
# verify with osslsigncode against the test's own self-signed certificate, are read by
# `vitrine info` and play under Wine (the first picture stands in the middle of the screen).
#   signed_saver.sh PLAYER.scr VITRINE_TOOL WORK_FOLDER PICTURE_FOLDER
# Exits 77 (skipped) where osslsigncode, openssl or the native tool is missing.
set -u
player=$1 tool=$2 work=$3 pictures=$4
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/scripts/lib/pe-machine.sh"

for need in osslsigncode openssl convert import; do
  command -v $need >/dev/null || { echo "SKIPPED: $need is not installed"; exit 77; }
done
[ -x "$tool" ] || { echo "SKIPPED: the native tool $tool is not built"; exit 77; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Vitrine test signer" >openssl.log 2>&1 || { cat openssl.log; exit 1; }

sign() {  # sign IN OUT
  osslsigncode sign -certs cert.pem -key key.pem -h sha256 -n "Vitrine test" -in "$1" -out "$2" >>sign.log 2>&1 ||
    { cat sign.log; fail "osslsigncode could not sign $1"; return 1; }
}

# verify FILE: the signature is there and its structure and digest hold; the chain ends at
# the test's certificate, which is also the trust anchor.
verify() {
  local out
  out=$(osslsigncode verify -CAfile cert.pem -in "$1" 2>&1)
  if ! grep -q "Signature verification: ok" <<<"$out"; then
    echo "$out"
    fail "$1 does not verify"
  fi
}

# plays FILE: the saver shows its first item; the picture's red stands at the screen's middle.
plays() {
  local capture=$work/$(basename "$1" .scr)-capture.png report=$work/$(basename "$1" .scr)-report.txt
  rm -f "$capture" "$report"
  VITRINE_SEED=1 VITRINE_REPORT=$report bash "$root/scripts/wine-run.sh" "$1" /s >"$1.wine.log" 2>&1 &
  local runner=$!
  for _ in $(seq 1200); do
    grep -qx "complete 0" "$report" 2>/dev/null && break
    kill -0 $runner 2>/dev/null || break
    sleep 0.1
  done
  # The first picture stands complete: read the screen of the private X server of the prefix
  # that wine-run.sh chose for the saver's kind (64-bit or 32-bit).
  local prefix=${VITRINE_WINEPREFIX:-$root/build/wine32}
  [ "$(pe_machine "$1")" = 8664 ] && prefix=${VITRINE_WINEPREFIX64:-$root/build/wine64}
  local xvfb=$prefix.xvfb display=${DISPLAY:-} n _pid
  if [ -z "$display" ] && [ -f "$xvfb" ] && read -r n _pid <"$xvfb"; then display=:$n; fi
  if grep -qx "complete 0" "$report" 2>/dev/null && [ -n "$display" ]; then
    import -display "$display" -window root "$capture" 2>/dev/null
  fi
  # The show ends only on a close event; the saver's own process is ended here, after which
  # wine-run.sh closes its private X server as usual.
  local child
  for child in $(pgrep -P $runner); do kill "$child" 2>/dev/null; done
  wait $runner 2>/dev/null
  if [ $? -eq 77 ]; then
    echo "not played: this machine runs no 32-bit programs"
    return
  fi
  if [ ! -f "$capture" ]; then
    cat "$1.wine.log"
    fail "$1 did not show its first picture under Wine"
    return
  fi
  local size width height middle
  size=$(identify -format '%w %h' "$capture")
  read -r width height <<<"$size"
  middle=$(convert "$capture" -format "%[pixel:p{$((width / 2)),$((height / 2))}]" info:)
  # Red within the tolerance of the screen's colour depth and scaling.
  local r g b
  read -r r g b <<<"$(sed -E 's/^srgba?\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/; s/^red$/255 0 0/' <<<"$middle")"
  if ! [ "${r:-0}" -ge 200 ] 2>/dev/null || ! [ "${g:-255}" -le 60 ] || ! [ "${b:-255}" -le 60 ]; then
    fail "$1 shows $middle at the middle of its ${width}x${height} screen, not the red picture"
  fi
}

# A saver signed as the last step.
"$tool" pack "$pictures" -o saver.scr --player "$player" 2>pack.log || { cat pack.log; exit 1; }
sign saver.scr signed.scr && verify signed.scr
info=$("$tool" info signed.scr 2>&1) || fail "vitrine info cannot read signed.scr: $info"
grep -q "signed: a certificate table of" <<<"$info" || fail "vitrine info does not see the signature: $info"
"$tool" extract signed.scr --item 0 -o item0.png 2>&1 || fail "vitrine extract cannot read signed.scr"
cmp -s item0.png "$pictures/a-red.png" || fail "the item extracted from signed.scr differs from a-red.png"
plays signed.scr

# A player signed by its maker, packed (the old signature is left out) and signed again.
sign "$player" signed-player.scr && verify signed-player.scr
"$tool" pack "$pictures" -o resaver.scr --player signed-player.scr 2>pack2.log || { cat pack2.log; exit 1; }
grep -q "its signature was left out" pack2.log || fail "pack did not say that it left the player's signature out"
osslsigncode verify -CAfile cert.pem -in resaver.scr 2>&1 | grep -q "No signature found" ||
  fail "the saver packed onto a signed player still carries the player's signature"
sign resaver.scr resigned.scr && verify resigned.scr
"$tool" info resigned.scr >/dev/null 2>&1 || fail "vitrine info cannot read resigned.scr"
plays resigned.scr

[ $failures -eq 0 ] && echo "signed savers: all checks passed"
[ $failures -eq 0 ]
