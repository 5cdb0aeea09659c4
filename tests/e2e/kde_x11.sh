#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The X11 checks of x11_desktop.sh under KDE's kwin_x11.
exec "$(dirname "$0")/x11_desktop.sh" kde "$@"
