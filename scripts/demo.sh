#!/usr/bin/env bash
# The main job: sets up, builds, and shows what the system does so far.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
echo
echo "Built: the platform layer and the update control (update/engine)."
echo "Not there yet: the progress bar, downloads, the control library's entry points and the TarnwickUpdate program."
