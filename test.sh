#!/usr/bin/env bash
# Sets up (missing Debian packages, build) and runs every test headless.
# SALTIRE_BUILD_DIR picks the build folder; further arguments go to CMake (for example -DSALTIRE_SANITIZE=ON).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_dir=${SALTIRE_BUILD_DIR:-$top/build}
"$top/scripts/setup.sh" "$build_dir" "$@"
export QT_QPA_PLATFORM=offscreen
export DOVI_GIGE_INTERFACES=lo  # tests never discover cameras beyond this machine
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
