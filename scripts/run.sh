#!/usr/bin/env bash
# Builds the programs, starts the register simulator and attaches it as COM1.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --gui
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

bin=$PWD/build/bin
link=$bin/sim-COM1
"$bin/mx7350-sim" --link "$link" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

# COM1 of the program is the simulator, unless a register is already configured.
ini=$bin/TARVOPROG.INI
if ! grep -q '^COM1=' "$ini" 2>/dev/null; then
  printf '[Porturi]\r\nCOM1=%s\r\n' "$link" >> "$ini"
fi

if [ -x "$bin/tarvoprog" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the program under Xvfb."
    exec_prefix=(xvfb-run -a)
  else
    exec_prefix=()
  fi
  "${exec_prefix[@]}" "$bin/tarvoprog"
else
  echo "== tarvoctl read D5000 (departments) =="
  "$bin/tarvoctl" read D5000 --port 1
  echo "== tarvoctl write: department 1 renamed =="
  "$bin/tarvoctl" write 'U5000;1;"Paine";1;0;4;0;0;1256;0;1;;;;;;;;;' --port 1
  "$bin/tarvoctl" read D5000 --port 1 | head -n 1
fi
