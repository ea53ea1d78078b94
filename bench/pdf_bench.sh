#!/usr/bin/env bash
# Benchmark of the TIFF-to-PDF writer and the PDF merge against reference tools, in one run:
#   conversion: build/bin/zbench.exe tiff2pdf  vs  tiff2pdf (Debian package libtiff-tools)
#   merge:      build/bin/zbench.exe merge     vs  qpdf --empty --pages ... --
# Makes its own inputs: letter-size pages at 300 dpi, CCITT Group 4, with lines of text;
# PAGES of them as one-page files and as one multi-page file, and DOCS documents of DOCPAGES
# pages for the merge. Prints pages per second and output sizes of both and their ratio.
# Figures are printed, never judged.
#   bash bench/pdf_bench.sh            (PAGES=200 DOCS=20 DOCPAGES=10 by default)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${ZENTROVA_BUILD:-$top/build}
pages=${PAGES:-200}
docs=${DOCS:-20}
docpages=${DOCPAGES:-10}

source "$top/tools/bench-env.sh"
bench_prepare "$top" "$build"

work=$build/bench-pdf
rm -rf "$work"
mkdir -p "$work/src" "$work/one" "$work/ours" "$work/ref" "$work/docs"
cd "$work"
zbench=$build/bin/zbench.exe

now() { date +%s.%N; }
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.1f", (s > 0 ? n / s : 0) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
bytes() { du -cb "$@" | tail -n 1 | cut -f 1; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$2"; }
wine_run() { bash "$top/tools/wine-exec.sh" "$@"; }

# ---------------------------------------------------------------- inputs
# Ten distinct pages of text, repeated to the page count.
echo "making inputs: $pages letter pages (2550 x 3300, 300 dpi, G4)..." >&2
for v in $(seq 0 9); do
  : >"src/text$v.txt"
  for line in $(seq 1 60); do
    echo "[$v.$line] A patent page of claims and description, line $line, with figures $((v * line))." >>"src/text$v.txt"
  done
  convert -size 2550x3300 xc:white -font DejaVu-Sans -pointsize 34 -fill black \
          -annotate +150+200 "$(cat "src/text$v.txt")" -draw "rectangle 300,2900 2250,2950" \
          -type bilevel -compress Group4 -density 300 -units PixelsPerInch "src/page$v.tif"
done
for i in $(seq -w 1 "$pages"); do
  cp "src/page$(( 10#$i % 10 )).tif" "one/p$i.tif"
done
tiffcp one/p*.tif src/all.tif
for d in $(seq -w 1 "$docs"); do
  list=()
  for p in $(seq 1 "$docpages"); do list+=("src/page$(( (10#$d + p) % 10 )).tif"); done
  tiffcp "${list[@]}" "docs/d$d.tif"
  wine_run "$zbench" tiff2pdf "docs/d$d.tif" "docs/d$d.pdf" >/dev/null
done
echo "input: $(bytes one/p*.tif) bytes of one-page TIFF files, $(bytes src/all.tif) bytes multi-page" >&2

# ---------------------------------------------------------------- conversion
report_row() { printf '  %-10s %10s %10s %12s\n' "$@"; }

args=()
for f in one/p*.tif; do n=$(basename "$f" .tif); args+=("$f" "ours/$n.pdf"); done
t0=$(now); wine_run "$zbench" tiff2pdf "${args[@]}" >ours-one.txt; t1=$(now)
ours_one_in=$(field seconds ours-one.txt)
ours_one_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')

t0=$(now)
for f in one/p*.tif; do tiff2pdf -o "ref/$(basename "$f" .tif).pdf" "$f"; done
t1=$(now)
ref_one_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')

t0=$(now); wine_run "$zbench" tiff2pdf src/all.tif ours-all.pdf >ours-all.txt; t1=$(now)
ours_all_in=$(field seconds ours-all.txt)
ours_all_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
t0=$(now); tiff2pdf -o ref-all.pdf src/all.tif; t1=$(now)
ref_all_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')

# ---------------------------------------------------------------- merge
doclist=(docs/d*.pdf)
merged_pages=$((docs * docpages))
t0=$(now); wine_run "$zbench" merge ours-merged.pdf "${doclist[@]}" >ours-merge.txt; t1=$(now)
ours_merge_in=$(field seconds ours-merge.txt)
ours_merge_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
t0=$(now); qpdf --empty --pages "${doclist[@]}" -- ref-merged.pdf; t1=$(now)
ref_merge_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')

# ---------------------------------------------------------------- outputs checked
check() {
  local file=$1 want=$2 got
  got=$(pdfinfo "$file" 2>/dev/null | sed -n 's/^Pages: *//p')
  if qpdf --check "$file" >/dev/null 2>&1 && [ "$got" = "$want" ]; then echo ok; else echo "BAD ($got pages)"; fi
}

# report TITLE PAGES OURS_INCALL OURS_WALL OURS_FILE... -- REF_NAME REF_WALL REF_FILE...
report() {
  local title=$1 n=$2 in=$3 wall=$4; shift 4
  local ours=() refs=()
  while [ "$1" != "--" ]; do ours+=("$1"); shift; done
  shift
  local ref=$1 ref_wall=$2; shift 2
  refs=("$@")
  local ours_bytes ref_bytes
  ours_bytes=$(bytes "${ours[@]}")
  ref_bytes=$(bytes "${refs[@]}")
  echo
  echo "$title:"
  report_row "" "pages/s" "pages/s" "output"
  report_row "" "in-call" "wall" "bytes"
  report_row zentrova "$(rate "$n" "$in")" "$(rate "$n" "$wall")" "$ours_bytes"
  report_row "$ref" "-" "$(rate "$n" "$ref_wall")" "$ref_bytes"
  report_row "ratio" "" "$(ratio "$(rate "$n" "$wall")" "$(rate "$n" "$ref_wall")")" \
             "$(ratio "$ours_bytes" "$ref_bytes")"
  local per=$(( ${#ours[@]} == 1 ? n : 1 ))
  echo "  qpdf --check and pdfinfo page count of ${ours[0]##*/}: ours $(check "${ours[0]}" "$per")," \
       "reference $(check "${refs[0]}" "$per")"
}

report "TIFF to PDF, $pages one-page files (letter, 300 dpi, G4)" "$pages" \
       "$ours_one_in" "$ours_one_wall" ours/p*.pdf -- tiff2pdf "$ref_one_wall" ref/p*.pdf
report "TIFF to PDF, one $pages-page file" "$pages" \
       "$ours_all_in" "$ours_all_wall" ours-all.pdf -- tiff2pdf "$ref_all_wall" ref-all.pdf
report "PDF merge, $docs documents of $docpages pages" "$merged_pages" \
       "$ours_merge_in" "$ours_merge_wall" ours-merged.pdf -- "qpdf" "$ref_merge_wall" ref-merged.pdf
echo
echo "in-call: time inside the writer or the merge; wall: the whole command, for ours including"
echo "the start of the program under Wine. Ratio: ours / reference (pages/s wall, bytes)."
