#!/usr/bin/env bash
# Sets up (missing Debian packages, build) and starts Saltire.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/setup.sh" "$top/build"

# Without a display, run on a virtual one so that the tool still starts.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting Saltire under Xvfb."
    exec xvfb-run -a -s "-screen 0 1600x1000x24" "$top/build/bin/saltire" "$@"
fi
exec "$top/build/bin/saltire" "$@"
