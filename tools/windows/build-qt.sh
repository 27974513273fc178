#!/usr/bin/env bash
# Builds Qt for Windows once from Debian's own qt6-base source package with Debian's MinGW-w64
# compilers, using the installed Qt's host tools (moc, rcc, uic). The result is cached outside
# the repository, keyed by version and options, and reused by later runs.
#
#   tools/windows/build-qt.sh        prints the installed Qt's folder, building it when missing
#
# Only Debian's archive is used: the source comes through `apt-get source`.
set -euo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

QT_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev)   # e.g. 6.4.2+dfsg-10
QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF
    # Debian's source leaves out the tablet-input header of the Windows platform plugin.
    -DFEATURE_tabletevent=OFF
    # The Windows platform plugin of 6.4 does not compile without OpenGL: it stays on.
)
KEY=$(printf '%s\n' "$QT_VERSION" "${QT_OPTIONS[@]}" | cat - "$HERE/mingw-w64.cmake" \
      | sha256sum | cut -c1-12)
CACHE=${SC_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/scenery-configurator}
PREFIX="$CACHE/qt-${QT_VERSION%%+*}-mingw-$KEY"

if [ -f "$PREFIX/.complete" ]; then
    echo "$PREFIX"
    exit 0
fi

WORK="$CACHE/work-$KEY"
LOG="$CACHE/qt-build-$KEY.log"
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK"
echo "Building Qt ${QT_VERSION} for Windows into $PREFIX (once; about 40 minutes on 2 cores)" >&2
echo "Its log: $LOG" >&2
if ! (
    set -euo pipefail
    cd "$WORK"
    # apt-get source unpacks the source and applies Debian's patches.
    apt-get source -q qt6-base="$QT_VERSION"
    SRC=$(find "$WORK" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    cmake -G Ninja -S "$SRC" -B "$WORK/build" \
        -DCMAKE_TOOLCHAIN_FILE="$HERE/mingw-w64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${QT_OPTIONS[@]}"
    cmake --build "$WORK/build" --parallel "$(nproc)"
    cmake --install "$WORK/build"
) >"$LOG" 2>&1; then
    tail -n 60 "$LOG" >&2
    echo "The Qt for Windows build failed; its log: $LOG" >&2
    exit 1
fi
rm -rf "$WORK"
touch "$PREFIX/.complete"
echo "$PREFIX"
