# Shared by scripts/run and scripts/test: install the missing Debian packages, then
# configure and build into ./build. Sourced, not run.

TARN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TARN_BUILD="$TARN_ROOT/build"

# What the build and the tests need.
TARN_BUILD_PACKAGES="cmake g++ ninja-build ccache qt6-base-dev qt6-serialport-dev libgl-dev qt6-qpa-plugins python3 libyaml-cpp-dev"
# Installing and packaging: icon sizes, the desktop-file, AppStream and man page checks, the .deb.
TARN_BUILD_PACKAGES="$TARN_BUILD_PACKAGES librsvg2-bin desktop-file-utils appstream man-db dpkg-dev"
# The printout's faces (fixed pitch, CJK serif) and the PDF text extraction of its test.
TARN_BUILD_PACKAGES="$TARN_BUILD_PACKAGES fonts-dejavu-core fonts-arphic-uming poppler-utils"

# What the window needs beyond the build: the Chinese texts' fonts, the message box's
# brush-script face and Qt's own translations (file and print dialogs, standard buttons).
TARN_RUN_PACKAGES="fonts-arphic-ukai fonts-noto-cjk qt6-translations-l10n"

# What scripts/draw-pictures needs to render the pictures and icons from their drawings.
TARN_ART_PACKAGES="librsvg2-bin imagemagick"
# The sanitizer build (scripts/test --sanitize) uses clang, whose libFuzzer builds the fuzz targets.
TARN_SANITIZE_PACKAGES="clang libclang-rt-14-dev"

tarn_install_missing() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "Missing packages: ${missing[*]} (install them with your system's package manager)" >&2
        return 1
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq || true
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# tarn_build [TARGET...]: configure, then build the targets named (everything without).
tarn_build() {
    local targets=()
    local target
    for target in "$@"; do
        targets+=(--target "$target")
    done
    local generator=()
    if command -v ninja >/dev/null 2>&1 && [ ! -f "$TARN_BUILD/Makefile" ]; then
        generator=(-G Ninja)
    fi
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        # Rebuilds of the same sources (another checkout, a clean build) come from the cache.
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$TARN_ROOT}" CCACHE_NOHASHDIR=1
    fi
    # TARN_CMAKE_ARGS: extra configure arguments (the sanitizer build's compiler and option).
    cmake -S "$TARN_ROOT" -B "$TARN_BUILD" "${generator[@]}" "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        ${TARN_CMAKE_ARGS:-}
    cmake --build "$TARN_BUILD" --parallel "$(nproc 2>/dev/null || echo 2)" "${targets[@]}"
}
