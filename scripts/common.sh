# Shared by scripts/run and scripts/test: installs what a fresh Debian machine lacks.

tombrel_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

tombrel_packages=(
    build-essential cmake ninja-build pkg-config
    juce-modules-source lv2-dev
    libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxcomposite-dev libxcursor-dev libxext-dev libxinerama-dev libxrandr-dev libxrender-dev
    libgl-dev libcurl4-openssl-dev
    libgtest-dev libbenchmark-dev
    xvfb xauth
)

tombrel_install_dependencies()
{
    local missing=()
    for package in "${tombrel_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done

    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi

    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures and builds one build type into build/<type>.
tombrel_build()
{
    local type="$1"
    shift
    local dir="$tombrel_root/build/$type"
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$tombrel_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}
