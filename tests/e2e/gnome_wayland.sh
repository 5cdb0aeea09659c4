#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Wayland checks of wayland_desktop.sh under GNOME's mutter.
exec "$(dirname "$0")/wayland_desktop.sh" gnome "$@"
