#!/usr/bin/env bash
# Sets up (missing Debian packages, build) and starts Saltire.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/setup.sh" "$top/build"

# The simulated cameras: the build installs their producer under build/common. A runtime installed
# elsewhere is used instead when KESTREL_COMMON_FILES_DIR points at it.
export KESTREL_COMMON_FILES_DIR=${KESTREL_COMMON_FILES_DIR:-$top/build/common}

# GigE Vision discovery stays on this machine unless the caller names the interfaces to search
# (for example DOVI_GIGE_INTERFACES=eth1 ./run.sh to reach the cameras on eth1).
export DOVI_GIGE_INTERFACES=${DOVI_GIGE_INTERFACES:-lo}

# Without a display, run on a virtual one so that the tool still starts.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting Saltire under Xvfb."
    exec xvfb-run -a -s "-screen 0 1600x1000x24" "$top/build/bin/saltire" "$@"
fi
exec "$top/build/bin/saltire" "$@"
