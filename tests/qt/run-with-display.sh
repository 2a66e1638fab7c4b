#!/bin/sh
# Runs a Qt test program under a virtual X display of its own.
# Listing the tests needs no display; running one does.
for argument in "$@"; do
  case "$argument" in --gtest_list_tests) exec "$@" ;; esac
done

# Qt WebEngine refuses to run as root inside its sandbox: only then is the sandbox off.
if [ "$(id -u)" = 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
# Software rendering on a virtual display; no accessibility bus there.
export QT_QUICK_BACKEND=software QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=0 NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY

# Parallel runs start their search for a free display at different numbers.
start=$(( 100 + $$ % 800 ))
exec xvfb-run -n "$start" -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
