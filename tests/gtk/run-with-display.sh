#!/bin/sh
# Runs a GTK test program under a virtual X display of its own.
# Listing the tests needs no display; running one does.
for argument in "$@"; do
  case "$argument" in --gtest_list_tests) exec "$@" ;; esac
done

# WebKit's web processes run in a bubblewrap sandbox, which needs user namespaces.
if ! unshare --user true 2>/dev/null; then
  export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1
fi
# No session bus or accessibility bus on a virtual display.
export NO_AT_BRIDGE=1 GTK_A11Y=none
unset WAYLAND_DISPLAY
export GDK_BACKEND=x11

# Parallel runs start their search for a free display at different numbers.
start=$(( 100 + $$ % 800 ))
exec xvfb-run -n "$start" -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
