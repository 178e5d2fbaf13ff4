#!/usr/bin/env bash
# The main job: install what is needed, build, draw the sample gallery into out/
# and labels from the sample database into out/labels/: an EAN-13 symbol of each
# product's code and a PDF417 symbol of its name; then the same labels as
# printed sheets, out/labels.pdf and out/name-labels.pdf.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DVANDREL_TESTS=OFF
build/vandrel gallery --dir out
mkdir -p out/labels
# A batch that skipped records exits with 3; any other exit but 0 is a failure.
allow_skips() {
  local status=0
  "$@" || status=$?
  if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
    exit "$status"
  fi
}
# Two products have no code yet: the batch names them and skips them.
allow_skips build/vandrel render --type EAN13 --db data/products.sqlite \
  --sql "SELECT ean FROM products ORDER BY id" --field ean -o out/labels/product-%02d.png
build/vandrel pdf417 --mode auto --db data/products.sqlite \
  --sql "SELECT name FROM products ORDER BY id" --field name -o out/labels/name-%02d.png
# And read the first PDF417 label back.
echo "out/labels/name-01.png reads: $(build/vandrel scan out/labels/name-01.png)"
# The product labels as sheets, printed into PDF files (no printer needed):
# the EAN-13 code with the product's name under it on 63.5 x 38.1 mm labels,
# three across an A4 sheet; the products without a code are named and
# skipped (exit 3). Then a PDF417 of every product's name.
allow_skips build/vandrel report --db data/products.sqlite --sql "SELECT ean, name FROM products ORDER BY id" \
  --field ean --type EAN13 --text-field name --label 63.5x38.1mm --columns 3 --pdf out/labels.pdf
build/vandrel report --db data/products.sqlite --sql "SELECT name FROM products ORDER BY id" \
  --field name --pdf417 --text-field name --label 63.5x38.1mm --columns 3 --pdf out/name-labels.pdf
# One label printed on its own, as a print job into a PDF.
build/vandrel print --pdf417 --value "Green tea, 100 g" --width 80mm --height 30mm \
  --at 20mm,20mm --pdf out/label-name.pdf
# The sheet in the print preview, and a single EAN-13 label there, each drawn
# into a picture of the preview window.
allow_skips build/vandrel report --db data/products.sqlite --sql "SELECT ean, name FROM products ORDER BY id" \
  --field ean --type EAN13 --text-field name --grab out/sheet-preview.png --size 1200x1600
build/vandrel preview --type EAN13 --value 4006381333931 --width 60mm --height 30mm --font-size 3mm \
  --at 20mm,20mm --grab out/preview.png --size 1200x1600
