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

export driver="$(cd "$(dirname "$0")" && pwd)/installed_checksums_driver.py"
xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- bash -euo pipefail -c '
  # The accessibility bus runs before the program starts, so the program shows itself on it.
  /usr/bin/python3 -c "import pyatspi; pyatspi.Registry.getDesktop(0)"
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" & pid=$!
  # The program saves its settings as it closes: let it finish before its folder goes.
  trap "kill $pid 2>/dev/null && wait $pid 2>/dev/null; true" EXIT
  /usr/bin/python3 "$driver" "$file" "$expected_xxh" "$expected_ssl"
  wait "$pid"
'
echo "the installed program reports what xxhsum and openssl say"
