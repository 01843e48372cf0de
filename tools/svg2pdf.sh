#!/bin/sh
# svg2pdf.sh PAGE_DIR OUT.pdf PREVIEW_DIR: converts the NN.svg pages of
# PAGE_DIR to one PDF (page order = name order) and renders PNG previews.
# A fixed SOURCE_DATE_EPOCH gives the same bytes for the same pages.
set -eu
pages=$1 out=$2 preview=$3
SOURCE_DATE_EPOCH=1765411200
export SOURCE_DATE_EPOCH
rm -f "$pages"/*.pdf
for svg in "$pages"/*.svg; do
  rsvg-convert -f pdf -o "${svg%.svg}.pdf" "$svg"
done
pdfunite "$pages"/*.pdf "$out"
python3 "$(dirname "$0")/pdffix.py" "$out"
mkdir -p "$preview"
rm -f "$preview"/*.png
pdftoppm -r 60 -png "$out" "$preview/page"
