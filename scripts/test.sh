#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: first the
# whole suite (engines, components on Qt's offscreen platform, command-line
# tool) under AddressSanitizer and UndefinedBehaviorSanitizer, then again as
# users build it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The sources keep the house style (.clang-format).
bash scripts/format.sh --check
# The print queue the printing tests print on; they skip, saying why, without it.
bash scripts/test-printer.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-asan -G Ninja -DVANDREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j "$(nproc)"
ctest --test-dir build-asan --output-on-failure

bash scripts/build.sh -DVANDREL_TESTS=ON
ctest --test-dir build --output-on-failure

# The engines under libFuzzer (clang), each target for a bounded time from its
# seeds; a crash or a sanitizer finding fails the script.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVANDREL_FUZZ=ON -DVANDREL_ENGINES_ONLY=ON \
  -DVANDREL_TESTS=OFF -DVANDREL_BENCHMARKS=OFF
cmake --build build-fuzz -j "$(nproc)"
bash fuzz/run.sh build-fuzz 20
