#!/usr/bin/env bash
# Registers the Windows modules in a fresh Wine prefix, checks the registry
# keys they wrote, runs the clients that were built or written, unregisters
# and checks that every key is gone again. Usage: tools/wine/run.sh [build dir]
# (default build-windows); a 32-bit build is skipped where 32-bit code cannot
# run. Exits non-zero on the first failed check.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-windows}
ocx=$build/TesselAdapter.ocx
standins=$build/TesselStandIns.dll
[ -f "$ocx" ] || { echo "no $ocx: build it first (README)"; exit 1; }

source tools/wine/prefix.sh
wine_prefix_null_display
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessel-run.XXXXXX")
# prefix.sh's own exit trap removes the prefix; this one adds the scratch.
trap 'rm -rf "$scratch"; wine_prefix_remove' EXIT

# The library's platform subkey, and the views its interfaces are written in:
# a 64-bit module writes them for 32-bit callers too.
syskind=win64 views=("" 'Wow6432Node\')
# A 32-bit module needs a Wine that runs 32-bit code, which a 64-bit-only
# machine lacks: try a one-line 32-bit program first and skip when it fails.
if i686-w64-mingw32-objdump -f "$ocx" 2>/dev/null | grep -q 'pei-i386'; then
  syskind=win32 views=("")
  # Wine answers 0 when its 32-bit loader fails, so the probe's own code counts.
  echo 'int main(void) { return 42; }' | i686-w64-mingw32-gcc -x c - -static -o "$scratch/probe32.exe"
  probe=0
  timeout 60 wine "$scratch/probe32.exe" >/dev/null 2>&1 || probe=$?
  if [ "$probe" -ne 42 ]; then
    echo "skip $build: a 32-bit module needs a machine (and a Wine) that runs 32-bit code; this one can't run a one-line 32-bit program"
    exit 0
  fi
fi

fail() { echo "FAIL $*"; exit 1; }
pass() { echo "ok   $*"; }

control='HKCR\CLSID\{04A4CC2A-6452-11D3-96B4-0004AC96572D}'
page='HKCR\CLSID\{04A4CC2B-6452-11D3-96B4-0004AC96572D}'
progid='HKCR\Vantor.TesselAdapter.1'
libid='{04A4CC27-6452-11D3-96B4-0004AC96572D}'
library="HKCR\\TypeLib\\$libid"
dispatch='HKCR\Interface\{04A4CC28-6452-11D3-96B4-0004AC96572D}'
module=$(winepath -w "$ocx" | tr -d '\r')

# What the registration wrote, read once: one `reg query /s` a top key.
dump=$scratch/registered.txt
read_registered() {
  for key in "$@"; do
    { wine reg query "$key" /s 2>/dev/null || true; } | tr -d '\r' | sed 's/^HKEY_CLASSES_ROOT\\/HKCR\\/'
  done >"$dump"
}

# The data of one value ("" for the key's default) in that dump, or nothing
# when the key or the value is missing.
value() {
  # Through the environment: awk -v would read the backslashes as escapes.
  KEY=$1 NAME=${2:-(Default)} awk '
    BEGIN { key = ENVIRON["KEY"]; name = ENVIRON["NAME"] }
    $0 == key { inside = 1; next }
    /^HKCR\\/ { inside = 0 }
    inside && index($0, "    " name "    REG_") == 1 { sub(/^    .*    REG_[A-Z_]*    /, ""); print; exit }
  ' "$dump"
}

dumped_key() { grep -qxF "$1" "$dump"; }

key_exists() { wine reg query "$1" >/dev/null 2>&1; }

expect_value() {
  local key=$1 name=$2 want=$3 got
  got=$(value "$key" "$name")
  [ "$got" = "$want" ] || fail "$key ${name:-(default)}: got '$got', want '$want'"
  pass "$key ${name:-(default)} = ${want:-<none>}"
}

expect_key() { dumped_key "$1" || fail "$1 missing"; pass "$1 exists"; }
expect_no_key() { ! key_exists "$1" || fail "$1 still there"; pass "$1 absent"; }

# A regsvr32 run whose exit status must be $1.
regsvr32_expect() {
  local want=$1 got=0
  shift
  wine regsvr32 "$@" >/dev/null 2>&1 || got=$?
  [ "$got" = "$want" ] || fail "regsvr32 $*: exit $got, want $want"
  pass "regsvr32 $* exits $got"
}

# A client whose last line of output must be "DONE failures=0".
run_client() {
  local what=$1 output last
  shift
  echo "== $what"
  # A client that hangs (a modal window no one closes) ends without DONE.
  output=$(timeout 60 "$@" 2>/dev/null | tr -d '\r') || true
  printf '%s\n' "$output"
  last=$(printf '%s\n' "$output" | tail -n 1)
  [ "$last" = "DONE failures=0" ] || fail "$what ended with '$last'"
  pass "$what"
}

# All of HKEY_CLASSES_ROOT as text (the export is UTF-16 with a BOM).
hkcr() { wine reg export HKCR "$1" /y >/dev/null 2>&1; iconv -f UTF-16 -t UTF-8 <"$1" | tr -d '\r'; }

# The script host registers its own type library the first time it runs:
# run it once on an empty script so that the snapshot already holds it.
: >"$scratch/empty.vbs"
wine cscript //nologo "$(winepath -w "$scratch/empty.vbs")" >/dev/null 2>&1 || true

started=$SECONDS
hkcr "$scratch/export.reg" >"$scratch/before.txt"

echo "== a module whose type library cannot be registered registers nothing"
# The same module with its embedded library spoilt: a type library file
# starts with the signature MSFT.
broken=$scratch/TesselAdapter.ocx
cp "$ocx" "$broken"
offset=$(grep -obUa MSFT "$broken" | head -n 1 | cut -d: -f1)
[ -n "$offset" ] || fail "no type library found in $ocx"
printf 'XXXX' | dd of="$broken" bs=1 seek="$offset" conv=notrunc status=none
regsvr32_expect 5 /s "$broken"
expect_no_key "$control"
expect_no_key "$progid"

echo "== registration"
regsvr32_expect 0 /s "$ocx"
[ -f "$standins" ] && regsvr32_expect 0 /s "$standins"
# Every value of tests/control/registered-keys.txt, its placeholders
# substituted for this module.
registered=()
while IFS=$'\t' read -r key name data; do
  [[ -z $key || $key == \#* ]] && continue
  key=${key//\{syskind\}/$syskind} data=${data//\{module\}/"$module"}
  data=${data//\{folder\}/"${module%\\*}"}
  for view in "${views[@]}"; do
    [[ $key == \{view\}* ]] && registered+=("HKCR\\$view${key#\{view\}}"$'\t'"$name"$'\t'"$data")
  done
  [[ $key == \{view\}* ]] || registered+=("HKCR\\$key"$'\t'"$name"$'\t'"$data")
done <tests/control/registered-keys.txt
# Dumped once a top key: the key up to its identifier, or its first part.
tops=()
for row in "${registered[@]}"; do
  key=${row%%$'\t'*}
  [[ $key =~ ^[^{]*\{[^}]*\} ]] && tops+=("${BASH_REMATCH[0]}") || tops+=("HKCR\\$(cut -d'\' -f2 <<<"$key")")
done
mapfile -t tops < <(printf '%s\n' "${tops[@]}" | sort -u)
read_registered "${tops[@]}"
for row in "${registered[@]}"; do
  IFS=$'\t' read -r key name data <<<"$row"
  [ "$name" = @ ] && name=""
  if [ "$data" = "{none}" ]; then
    expect_key "$key"
    [ -z "$name" ] || expect_value "$key" "$name" ""
  elif [[ $key == 'HKCR\TypeLib\'* && $data == "${module%\\*}"* ]]; then
    # The runtime records the library's file and folder in its long-path form.
    got=$(value "$key" "$name")
    [ "${got#\\\\?\\}" = "$data" ] || fail "$key ${name:-(default)}: got '$got', want '$data'"
    pass "$key ${name:-(default)} = $got"
  else
    expect_value "$key" "$name" "$data"
  fi
done

[ -f "$build/tessel_container_check.exe" ] && run_client "container check" wine "$build/tessel_container_check.exe"
[ -f tests/wine/session.vbs ] && run_client "VBScript session" wine cscript //nologo tests/wine/session.vbs
[ -f "$build/tessel_com_client.exe" ] && run_client "C++ client" wine "$build/tessel_com_client.exe"

echo "== unregistration"
regsvr32_expect 0 /u /s "$ocx"
[ -f "$standins" ] && regsvr32_expect 0 /u /s "$standins"
for key in "$control" "$page" "$progid" "$library" "$dispatch"; do expect_no_key "$key"; done
hkcr "$scratch/export.reg" >"$scratch/after.txt"
if ! diff "$scratch/before.txt" "$scratch/after.txt" >"$scratch/diff.txt"; then
  cat "$scratch/diff.txt"
  fail "HKEY_CLASSES_ROOT differs from before registration"
fi
pass "HKEY_CLASSES_ROOT ($(wc -l <"$scratch/before.txt") lines) is as before registration"
# A module that is not registered cannot unregister its type library.
regsvr32_expect 5 /u /s "$ocx"

echo "== all checks passed in $((SECONDS - started)) s"
