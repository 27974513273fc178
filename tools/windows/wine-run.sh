#!/usr/bin/env bash
# wine-run.sh <program.exe> [arguments]: runs a Windows program of the build under Wine, with the
# Qt and MinGW runtime DLLs and Qt's plugins found where the build has them. CTest runs every
# Windows test through it.
#
# The environment it needs (set by build.sh): SC_QT_WINDOWS, the Qt for Windows folder, and
# WINEPREFIX, the build's private Wine prefix.
set -euo pipefail
: "${SC_QT_WINDOWS:?SC_QT_WINDOWS must name the Qt for Windows folder}"
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix of the build}"
export WINEPREFIX
# No prompt to install .NET or Gecko, and no Wine diagnostics in the tests' output.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
# Z: is the Linux root in every Wine prefix.
GCC_DLLS=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="Z:$SC_QT_WINDOWS/bin;Z:$GCC_DLLS;Z:/usr/x86_64-w64-mingw32/lib"
export QT_PLUGIN_PATH="Z:$SC_QT_WINDOWS/plugins"
exec /usr/lib/wine/wine64 "$@"
