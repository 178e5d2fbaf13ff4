#!/usr/bin/env bash
# The main job: install what is needed, build, draw the sample gallery into out/
# and labels from the sample database into out/labels/: an EAN-13 symbol of each
# product's code and a PDF417 symbol of its name.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DVANDREL_TESTS=OFF
build/vandrel gallery --dir out
mkdir -p out/labels
# Two products have no code yet: the batch names them, skips them and exits
# with 3; any other exit is a failure.
status=0
build/vandrel render --type EAN13 --db data/products.sqlite \
  --sql "SELECT ean FROM products ORDER BY id" --field ean -o out/labels/product-%02d.png || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
  exit "$status"
fi
build/vandrel pdf417 --mode auto --db data/products.sqlite \
  --sql "SELECT name FROM products ORDER BY id" --field name -o out/labels/name-%02d.png
# And read the first PDF417 label back.
echo "out/labels/name-01.png reads: $(build/vandrel scan out/labels/name-01.png)"
# The first product's label printed as a PDF (no printer needed): its EAN-13
# code, and its name as PDF417, one print job each.
build/vandrel print --type EAN13 --value 4006381333931 --width 60mm --height 30mm --font-size 3mm \
  --at 20mm,20mm --pdf out/labels.pdf
build/vandrel print --pdf417 --value "Green tea, 100 g" --width 80mm --height 30mm \
  --at 20mm,20mm --pdf out/label-name.pdf
# And the same label in the print preview, drawn into a picture of the window.
build/vandrel preview --type EAN13 --value 4006381333931 --width 60mm --height 30mm --font-size 3mm \
  --at 20mm,20mm --grab out/preview.png --size 1200x1600
