#!/usr/bin/env bash
# Builds Quillet and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset dev
cmake --build build/dev --target quillet
exec build/dev/app/quillet
