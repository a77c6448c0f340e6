# Shared by scripts/run and scripts/test: installs what a fresh Debian machine lacks and builds.

tombrel_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

tombrel_packages=(
    build-essential cmake ninja-build pkg-config
    juce-modules-source lv2-dev
    libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxcomposite-dev libxext-dev libxcursor-dev libxinerama-dev libxrandr-dev libxrender-dev
    libgl-dev libcurl4-openssl-dev
    libgtest-dev libbenchmark-dev
    clang libc++-dev libc++abi-dev googletest
    xvfb xauth
    lilv-utils  # lv2info, with which the hosting tests read the LV2 description
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

# The sanitizers' run-time settings. A finding stops the program with an error (ThreadSanitizer
# reports every race first and then exits with an error); suppressions cover the framework's and
# the system libraries' own findings only, each with its reason in the file.
tombrel_sanitizer_environment()
{
    local supp="$tombrel_root/scripts/sanitizers"
    export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1"
    export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
    export TSAN_OPTIONS="halt_on_error=0:second_deadlock_stack=1:suppressions=$supp/tsan.supp:print_suppressions=0"
}

# Configures and builds one build into build/<name>: Release, Asan (AddressSanitizer with
# UndefinedBehaviorSanitizer), Tsan (ThreadSanitizer) or Libcxx (clang with libc++, the stand-in for
# Apple's toolchain). Further arguments go to cmake.
tombrel_build()
{
    local name="$1"
    shift
    local dir="$tombrel_root/build/$name"
    local config=()

    case "$name" in
        Release) config=(-DCMAKE_BUILD_TYPE=Release) ;;
        Asan | Tsan)
            local sanitize="-fsanitize=address,undefined"
            [ "$name" = Tsan ] && sanitize="-fsanitize=thread"
            # -O1 keeps the sanitized programs quick to build and to run; the benchmark is left out.
            # Assertions stay on: JUCE's and the project's, and the standard library's checks.
            local flags="-O1 -g1 -D_GLIBCXX_ASSERTIONS -fno-omit-frame-pointer $sanitize"
            config=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOMBREL_BUILD_BENCHMARKS=OFF -DTOMBREL_ASSERTIONS=ON
                    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=$flags" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$flags"
                    "-DCMAKE_EXE_LINKER_FLAGS=$sanitize" "-DCMAKE_SHARED_LINKER_FLAGS=$sanitize"
                    "-DCMAKE_MODULE_LINKER_FLAGS=$sanitize")
            ;;
        Libcxx)
            # Optimised as shipped. Debian's GoogleTest and Google Benchmark libraries are built against
            # libstdc++: GoogleTest is built from its sources, the benchmark is compiled but not linked.
            config=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
                    -DCMAKE_CXX_FLAGS=-stdlib=libc++
                    -DTOMBREL_GTEST_SOURCE_DIR=/usr/src/googletest -DTOMBREL_BENCHMARKS_COMPILE_ONLY=ON)
            ;;
        *) echo "Unknown build '$name' (Release, Asan, Tsan or Libcxx)" >&2; return 1 ;;
    esac

    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi

    cmake -S "$tombrel_root" -B "$dir" -G Ninja "${config[@]}" "${launcher[@]}" "$@" || return 1
    # Keep going past a failed target, so that one broken test program doesn't hide the others' results.
    cmake --build "$dir" --parallel "${TOMBREL_JOBS:-$(nproc)}" -- -k 0
}
