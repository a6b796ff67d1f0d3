#!/usr/bin/env bash
# Builds the designer and starts it on the embedded default store
# (~/.local/share/kassotyp/kassotyp.sqlite, created with a demo installation on first start).
# Any arguments are passed on, e.g. "S" for system mode or --store=/path/to/other.sqlite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh kassotyp
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  port="${KASSOTYP_VNC_PORT:-5900}"
  export QT_QPA_PLATFORM="vnc:size=1024x768:port=${port}"
  echo "No display found: the designer runs on Qt's VNC platform."
  echo "Connect a VNC viewer to localhost:${port} (display :$((port - 5900)))."
fi
exec build/shell/kassotyp "$@"
