# The Windows commands of build.sh: sourced by it, with ROOT set and install_packages defined.
#
#   windows        builds Qt for Windows once (cached), then the program, sceneryctl and the
#                  tests for Windows in build-windows/, and lays out build-windows/dist/ and a zip
#   windows-test   runs the Windows test suite under Wine, then the shipped folder by itself:
#                  sceneryctl, and the program under a virtual X server (screenshot, one Apply)

# Debian packages of the Windows build: MinGW-w64 (POSIX threads), Wine, the tools to fetch
# Debian's Qt source, and zip.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
                  binutils-mingw-w64-x86-64 wine64 dpkg-dev zip xdotool)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get source needs a deb-src entry; Debian 12's images have none.
ensure_deb_src() {
    if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 0
    fi
    echo "Adding a deb-src entry for Debian's sources (apt-get source qt6-base)"
    as_root tee /etc/apt/sources.list.d/scenery-configurator-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
}

windows_environment() {
    export SC_QT_WINDOWS
    SC_QT_WINDOWS=$("$ROOT/tools/windows/build-qt.sh")
    export WINEPREFIX="$ROOT/build-windows/wine"
    if [ ! -f "$WINEPREFIX/.tests-ready" ]; then
        echo "Creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        local wine=(env WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all /usr/lib/wine/wine64)
        "${wine[@]}" wineboot -i
        # Tests run on Qt's offscreen platform, which reads fonts from one folder only: the
        # faces the windows use. Wine passes no QT_* variable from Linux, so the folder is named
        # in the prefix's own environment. As on Linux, Wine's Tahoma bold (as thin as its
        # regular face) and its bitmap MS Sans Serif stay out: the toolkit draws bold from the
        # regular Tahoma, as Windows' own Tahoma Bold shows it.
        local fonts="$ROOT/build-windows/fonts"
        mkdir -p "$fonts"
        cp /usr/share/wine/fonts/{tahoma,symbol}.ttf \
            /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf \
            /usr/share/fonts/truetype/dejavu/DejaVuSerif*.ttf \
            /usr/share/fonts/truetype/liberation/*.ttf \
            "$fonts/"
        "${wine[@]}" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "Z:$fonts" /f >/dev/null
        WINEDEBUG=-all /usr/lib/wine/wineserver -w
        touch "$WINEPREFIX/.tests-ready"
    fi
}

# The folder a scenery author ships beside the control file: the two programs, the Qt and MinGW
# runtime DLLs, the platform and style plugins, and the demo scenery as the example.
windows_dist() {
    local dist="$ROOT/build-windows/dist" qt=$SC_QT_WINDOWS gcc
    gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
    rm -rf "$dist"
    mkdir -p "$dist/platforms" "$dist/styles"
    cp "$ROOT/build-windows/app/scenery-configurator.exe" "$ROOT/build-windows/cli/sceneryctl.exe" \
        "$dist/"
    cp "$qt/bin/Qt6Core.dll" "$qt/bin/Qt6Gui.dll" "$qt/bin/Qt6Widgets.dll" "$dist/"
    cp "$qt/plugins/platforms/qwindows.dll" "$qt/plugins/platforms/qoffscreen.dll" \
        "$dist/platforms/"
    cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$dist/styles/"
    cp "$gcc/libstdc++-6.dll" "$gcc/libgcc_s_seh-1.dll" \
        /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$dist/"
    x86_64-w64-mingw32-strip "$dist"/*.exe "$dist"/*.dll "$dist"/*/*.dll
    cp -r "$ROOT/examples/demo/." "$dist/"
    windows_check_imports "$dist"
    local zip
    zip="$ROOT/build-windows/scenery-configurator-$(windows_version)-windows-x64.zip"
    rm -f "$zip"
    (cd "$dist" && zip -q -r -X "$zip" .)
    echo "Windows package: $dist"
    echo "            zip: $zip"
}

windows_version() {
    sed -n 's/^project(SceneryConfigurator VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt"
}

# Every DLL a shipped file imports is shipped too, or is part of Windows.
windows_check_imports() {
    local dist=$1 missing=() file dll
    for file in "$dist"/*.exe "$dist"/*.dll "$dist"/*/*.dll; do
        while read -r dll; do
            if [ -f "$dist/$dll" ]; then continue; fi
            if [ -f "$WINEPREFIX/drive_c/windows/system32/${dll,,}" ]; then continue; fi
            case "${dll,,}" in api-ms-win-*) continue ;; esac
            missing+=("$(basename "$file") needs $dll")
        done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
    done
    if [ ${#missing[@]} -ne 0 ]; then
        printf 'Not in the package: %s\n' "${missing[@]}" >&2
        return 1
    fi
}

windows_build() {
    PACKAGES+=("${WINDOWS_PACKAGES[@]}")
    install_packages
    ensure_deb_src
    windows_environment
    build windows "$ROOT/build-windows"
    windows_dist
}

windows_test() {
    windows_build
    # The screenshot is taken by the Linux build's grabscreen.
    if [ ! -f "$ROOT/build/CMakeCache.txt" ]; then cmake --preset release; fi
    cmake --build "$ROOT/build" --target grabscreen
    runtime_dir
    echo "Running the Windows test suite under Wine"
    # One Wine server for the whole run, started apart from the tests' output.
    WINEDEBUG=-all /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
    local status=0
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset windows || status=$?
    WINEDEBUG=-all /usr/lib/wine/wineserver -k || true
    [ "$status" -eq 0 ] || return "$status"
    windows_demo_run
}

# The shipped folder by itself: copied to a fresh folder with the demo's control file, without
# the build's DLL and plugin paths, sceneryctl lists and the program starts, is seen by the
# window system as "ScenForm1", is photographed, and applies one change made with the keyboard.
windows_demo_run() {
    local run="$ROOT/build-windows/demo-run" shot="$ROOT/build-windows/demo-screenshot.png"
    rm -rf "$run" "$shot"
    cp -r "$ROOT/build-windows/dist" "$run"
    echo "sceneryctl.exe list, from the shipped folder:"
    (cd "$run" && env -u WINEPATH -u QT_PLUGIN_PATH WINEDLLOVERRIDES="mscoree,mshtml=" \
        WINEDEBUG=-all /usr/lib/wine/wine64 sceneryctl.exe list) | tee "$run.list"
    grep -q '^\[x\] Kontrollturm  (tower)' "$run.list"
    # The program must start its own Wine session, on the virtual X server's display.
    WINEDEBUG=-all /usr/lib/wine/wineserver -w
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$ROOT/tools/windows/demo-run.sh" \
        "$run" "$ROOT/build/tools/grabscreen" "$shot"
    echo "Screenshot of the Windows program under Wine: $shot"
}
