#!/bin/sh
# Runs an accessibility test program the way a screen reader user runs an app: a private D-Bus
# session with the AT-SPI bus on it, marked as having a screen reader, and a virtual X display.
# Listing the tests needs neither.
for argument in "$@"; do
  case "$argument" in --gtest_list_tests) exec "$@" ;; esac
done

if [ -z "${VELQUOR_A11Y_SESSION:-}" ]; then
  export VELQUOR_A11Y_SESSION=1
  # The accessibility bus's socket lives in the runtime folder, at a fixed name: one folder per
  # session, or runs side by side would take over each other's bus.
  runtime=$(mktemp -d "${TMPDIR:-/tmp}/velquor-a11y.XXXXXX") || exit 1
  export XDG_RUNTIME_DIR="$runtime"
  dbus-run-session -- "$0" "$@"
  status=$?
  rm -rf "$runtime"
  exit $status
fi

# A screen reader announces itself on the accessibility bus; toolkits (Qt WebEngine's page tree
# among them) switch on what they expose only then.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:ScreenReaderEnabled variant:boolean:true \
  >/dev/null || { echo "run-with-a11y-bus.sh: no AT-SPI bus (apt-get install at-spi2-core)" >&2; exit 1; }

# WebKit's web processes run in a bubblewrap sandbox, which needs user namespaces.
if ! unshare --user true 2>/dev/null; then
  export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1
fi
# Qt WebEngine refuses to run as root inside its sandbox: only then is the sandbox off.
if [ "$(id -u)" = 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
unset NO_AT_BRIDGE GTK_A11Y QT_ACCESSIBILITY WAYLAND_DISPLAY
export GDK_BACKEND=x11 QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software

start=$(( 100 + $$ % 800 ))
exec xvfb-run -n "$start" -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
