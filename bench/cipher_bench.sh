#!/usr/bin/env bash
# Benchmark of the data files' cipher (Rijndael with a 32-byte key and a 32-byte block, ECB,
# as Project.cfg, config2.cfg and Download.cfg are enciphered) against OpenSSL's AES-256-ECB
# in software, on the same MB megabytes of XML-like text:
#   ours:      build/bin/zbench.exe cipher FILE   the cipher in memory, best of RUNS, each way,
#                                                 and the whole enciphering of a data file's text
#              build/bin/cfgcrypt.exe enc          the whole program under Wine (wall time)
#   reference: openssl speed -evp aes-256-ecb      in memory, 16 KiB blocks
#              openssl enc -aes-256-ecb -nopad     the whole program on the file (wall time)
# OpenSSL runs on its software path: OPENSSL_ia32cap="~0x200020000000000" clears the CPU
# capability bits of AES-NI (bit 57, CPUID.1:ECX.25) and of SSSE3 (bit 41, CPUID.1:ECX.9),
# so that it uses neither the AES instructions nor the SSSE3 vector-permute AES but its
# table-driven code, as ours is. For comparison the figure with AES-NI masked only (the
# vector-permute code) is printed as well. MB are 10^6 bytes. Figures are printed, never
# judged; the ratio is ours / reference, higher is faster.
#   bash bench/cipher_bench.sh            (MB=20 RUNS=5 by default)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${ZENTROVA_BUILD:-$top/build}
mb=${MB:-20}
runs=${RUNS:-5}
software_cap="~0x200020000000000"
no_aesni_cap="~0x200000000000000"

command -v openssl >/dev/null || { echo "cipher_bench: openssl is missing (Debian package openssl)" >&2; exit 1; }
source "$top/tools/bench-env.sh"
bench_prepare "$top" "$build"

work=$build/bench-cipher
rm -rf "$work"
mkdir -p "$work"
cd "$work"
wine_run() { bash "$top/tools/wine-exec.sh" "$@"; }
now() { date +%s.%N; }
rate() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", (s > 0 ? b / s / 1e6 : 0) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$2"; }

# ---------------------------------------------------------------- input
# Document records as the project store holds them, repeated to the size, a multiple of the
# block.
python3 - "$mb" >plain.txt <<'EOF'
import sys
size = int(sys.argv[1]) * 1000 * 1000 // 32 * 32
out, n, i = [], 0, 0
while n < size:
    line = ('\t\t<Document Name="US%07d" ParentUID="1" DocumentTitle="Gear pump with a valve %d" '
            'DocumentInventor="Inventor %d" DocumentAssignee="Assignee %d" DownloadDate="%d" UID="DOCUID%d"/>\r\n'
            % (7000000 + i, i, i % 97, i % 13, 190000000 + i * 37, i))
    out.append(line)
    n += len(line)
    i += 1
sys.stdout.write(''.join(out)[:size])
EOF
bytes=$(stat -c %s plain.txt)
echo "input: $bytes bytes of document records" >&2

# ---------------------------------------------------------------- ours
wine_run "$build/bin/zbench.exe" cipher plain.txt "$runs" >ours.txt
ours_enc=$(field encipher ours.txt)
ours_dec=$(field decipher ours.txt)
ours_file=$(field filecrypt ours.txt)
t0=$(now); wine_run "$build/bin/cfgcrypt.exe" enc plain.txt ours.cfg >/dev/null; t1=$(now)
cfgcrypt_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')

# ---------------------------------------------------------------- reference
speed() {
  OPENSSL_ia32cap="$1" openssl speed -elapsed -seconds 3 -bytes 16384 -evp aes-256-ecb "${@:2}" 2>/dev/null \
    | awk '/^AES-256-ECB/ { v = $NF; sub(/k$/, "", v); printf "%.1f", v / 1000 }'
}
ref_enc=$(speed "$software_cap")
ref_dec=$(speed "$software_cap" -decrypt)
vpaes_enc=$(speed "$no_aesni_cap")
key=$(printf '0123456789abcdef0123456789abcdef' | od -An -v -tx1 | tr -d ' \n')
best=
for _ in $(seq 1 "$runs"); do
  t0=$(now)
  OPENSSL_ia32cap="$software_cap" openssl enc -aes-256-ecb -nopad -K "$key" -in plain.txt -out ref.bin
  t1=$(now)
  wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  best=$(awk -v a="$wall" -v b="${best:-1e9}" 'BEGIN { print (a < b ? a : b) }')
done
ref_wall=$best

# ---------------------------------------------------------------- figures
row() { printf '  %-44s %10s %10s\n' "$@"; }
echo
echo "Data-file cipher, $bytes bytes (MB/s, 10^6 bytes per second):"
row "" "encipher" "decipher"
row "zentrova CRijndael in memory (best of $runs)" "$(rate "$bytes" "$ours_enc")" "$(rate "$bytes" "$ours_dec")"
row "openssl AES-256-ECB software, in memory" "$ref_enc" "$ref_dec"
row "ratio zentrova / openssl" "$(ratio "$(rate "$bytes" "$ours_enc")" "$ref_enc")" \
    "$(ratio "$(rate "$bytes" "$ours_dec")" "$ref_dec")"
echo
row "zentrova CFileCrypt, a data file's text" "$(rate "$bytes" "$ours_file")" ""
row "zentrova cfgcrypt enc, whole program (wall)" "$(rate "$bytes" "$cfgcrypt_wall")" ""
row "openssl enc, whole program (wall, best)" "$(rate "$bytes" "$ref_wall")" ""
row "ratio cfgcrypt / openssl enc (wall)" "$(ratio "$(rate "$bytes" "$cfgcrypt_wall")" "$(rate "$bytes" "$ref_wall")")" ""
echo
echo "openssl with AES-NI masked only (SSSE3 vector-permute AES): $vpaes_enc MB/s enciphering."
echo "The wall times include the start of the program (for cfgcrypt under Wine) and file I/O."
