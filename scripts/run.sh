#!/usr/bin/env bash
# The main job: install what is needed, build, and draw the sample gallery into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DVANDREL_TESTS=OFF
build/vandrel gallery --dir out
