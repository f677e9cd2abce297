#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds and runs an outside program against it,
# the way a customer's program uses the engine.
set -euo pipefail
build_dir=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
cmake -S "$source_dir/app" -B "$work/app" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/app" >/dev/null
export VELMORA_REGISTRY="$work/registry"
"$work/prefix/bin/velmora" register
"$work/prefix/bin/velmora" newdb "$work/team.mdb"
if "$work/prefix/bin/velmora" newdb "$work/team.mdb" 2>/dev/null; then
  echo "newdb overwrote an existing file" >&2
  exit 1
fi
"$work/app/outside_program" "$work/team.mdb" "$work/app/Err.log"
"$work/prefix/bin/velmora" summary "$work/team.mdb"

# The client is installed beside the tool, with its desktop entry and icon, and creates the
# engine's objects by class at run time: it is not linked to the engine's library.
test -x "$work/prefix/bin/tarnwick"
test -f "$work/prefix/share/applications/tarnwick.desktop"
test -f "$work/prefix/share/icons/hicolor/scalable/apps/tarnwick.svg"
if ldd "$work/prefix/bin/tarnwick" | grep -q "libVelmora\.so"; then
  echo "tarnwick is linked to libVelmora.so" >&2
  exit 1
fi
QT_QPA_PLATFORM=offscreen "$work/prefix/bin/tarnwick" --save-login "$work/team.mdb" --login Admin
test -f "$work/prefix/bin/Bug.cfg"
