#!/usr/bin/env bash
# The installed program under a virtual X server: a file chosen in the real file dialog on each
# checksum page, the report copied with the copy-all button, compared with xxhsum and openssl.
set -euo pipefail
source "$(dirname "$0")/../support/installed_program.sh"
install_program "$1"
export file="$work/a file.bin"
head -c 5000001 /dev/urandom > "$file"

# The choice each page restores: the report lists the algorithms in this order.
mkdir -p "$XDG_CONFIG_HOME/zintrel"
cat > "$XDG_CONFIG_HOME/zintrel/settings.json" <<JSON
{"values": {"ChosenNonCryptoAlgorithms": {"type": "String", "value": "XXH64,XXH128,XXH3"},
            "ChosenAlgorithms": {"type": "String", "value": "SHA2-256,SHAKE-128,MD5,SHA3-512"}}, "version": 0}
JSON

upper() { tr a-f A-F; }
line() { printf '\n%s: %s' "$1" "$2"; }
export expected_xxh expected_ssl
size=$(stat -c %s "$file")
expected_xxh="$file"$'\n'"Size (Bytes): $size"
expected_xxh+=$(line XXH64 "$(xxhsum -H1 "$file" | cut -d" " -f1 | upper)")
expected_xxh+=$(line XXH128 "$(xxhsum -H2 "$file" | cut -d" " -f1 | upper)")
expected_xxh+=$(line XXH3 "$(xxhsum -H3 "$file" | sed "s/.*= //" | upper)")
expected_ssl="$file"$'\n'"Size (Bytes): $size"
expected_ssl+=$(line SHA2-256 "$(openssl dgst -r -sha256 "$file" | cut -d" " -f1 | upper)")
expected_ssl+=$(line SHAKE-128 "$(openssl dgst -r -shake128 -xoflen 64 "$file" | cut -d" " -f1 | upper)")
expected_ssl+=$(line MD5 "$(openssl dgst -r -md5 "$file" | cut -d" " -f1 | upper)")
expected_ssl+=$(line SHA3-512 "$(openssl dgst -r -sha3-512 "$file" | cut -d" " -f1 | upper)")

xvfb-run -a -s "-screen 0 1600x1000x24" bash -euo pipefail -c '
  at() { xdotool mousemove --window "$id" "$1" "$2" click 1; }
  # Browse, then the path typed into the file dialog.
  choose() {
    at 943 120
    timeout 30 xdotool search --sync --onlyvisible --name "^Open$" > /dev/null
    xdotool type --delay 2 "$file"
    xdotool key Return
  }
  # Copies the report until it is the expected one (the run has published), for a minute at most.
  report_becomes() {
    for _ in $(seq 120); do
      at 551 642
      [ "$(xclip -o -selection clipboard 2>/dev/null || true)" = "$1" ] && return 0
      sleep 0.5
    done
    echo "the report is not what the tools say:"; xclip -o -selection clipboard | od -c | head -20; echo; echo "$1"
    return 1
  }

  "$program" & pid=$!
  # The program saves its settings as it closes: let it finish before its folder goes.
  trap "kill $pid 2>/dev/null && wait $pid 2>/dev/null; true" EXIT
  id=$(timeout 30 xdotool search --sync --onlyvisible --name "^Varnholt Zintrel$" | head -1)
  choose
  report_becomes "$expected_xxh"
  at 125 157  # the cryptographic page
  choose
  report_becomes "$expected_ssl"
'
echo "the installed program reports what xxhsum and openssl say"
