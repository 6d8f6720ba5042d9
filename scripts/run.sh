#!/usr/bin/env bash
# Builds the program and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
build_tree build
exec "$ROOT/build/bin/qdr318-manager" "$@"
