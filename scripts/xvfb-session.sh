# Sourced by the scripts that drive the real quillet under Xvfb. After `xvfb_session <name>
# <tools...>`: $work is a private folder, DISPLAY names a fresh Xvfb display, and quillet_pid
# (once set by the caller) is killed with Xvfb on exit. Exits with 77 when a tool is missing.

# wait_for <seconds> <command...>: retries the command every 0.1 s until it succeeds.
wait_for() {
  local tries=$(($1 * 10)); shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

xvfb_session() {
  session_name=$1; shift
  local tool
  for tool in Xvfb xdotool "$@"; do
    command -v "$tool" >/dev/null || { echo "$session_name: $tool is not installed" >&2; exit 77; }
  done
  work=$(mktemp -d)
  xvfb_pid=""
  quillet_pid=""
  trap 'xvfb_session_end' EXIT
  # Xvfb picks a free display itself and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_for 30 test -s "$work/display" \
    || { echo "$session_name: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
  mkdir -p "$work/config" "$work/runtime" && chmod 700 "$work/runtime"
  export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
}

xvfb_session_end() {
  [ -n "$quillet_pid" ] && kill "$quillet_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}

# wait_painted <window>: waits until the window's picture holds more than one colour, that is
# until its first paint is done (on a loaded machine that can take seconds after it is mapped).
wait_painted() {
  wait_for 60 bash -c "[ \"\$(import -window $1 -format %k info: 2>/dev/null)\" -gt 1 ]" \
    || { echo "$session_name: the window was never painted" >&2; exit 1; }
}

# press_exit <window>: clicks "Exit" (at 400, 293, 169 x 25 in the window) until the program
# ends. A click is not assumed to be taken at once: a program starved of the processor may still
# be busy with its first events, so after a few seconds without an end it is clicked again.
press_exit() {
  local tries=10
  while [ "$tries" -gt 0 ]; do
    xdotool mousemove --window "$1" 484 305 click 1 2>/dev/null || true
    wait_for 3 bash -c "! kill -0 $quillet_pid 2>/dev/null" && return 0
    tries=$((tries - 1))
  done
}

# wait_for_exit <expected code>: waits for quillet to end and checks its exit code.
wait_for_exit() {
  local status=0
  wait_for 30 bash -c "! kill -0 $quillet_pid 2>/dev/null" \
    || { echo "$session_name: the program did not end" >&2; exit 1; }
  wait "$quillet_pid" || status=$?
  quillet_pid=""
  if [ "$status" -ne "$1" ]; then
    echo "$session_name: quillet ended with exit code $status, expected $1" >&2
    exit 1
  fi
}
