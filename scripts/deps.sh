# Debian packages the build, the tests and the program need; sourced by run.sh and test.sh.
# The interpreters are those of the shipped language configurations, which the tests run;
# desktop-file-validate checks the installed desktop entry, xmllint and update-mime-database the
# workbench file's type. Beside the Japanese fonts, Hangul and emoji fonts let UTF-8 pages show
# what Shift-JIS cannot hold.
KESTRIM_PACKAGES="g++ cmake make pkg-config qt6-base-dev qt6-webengine-dev libpcre2-dev libicu-dev libdtl-dev \
libzip-dev libdeflate-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth \
fonts-ipafont-gothic fonts-ipafont-mincho \
fonts-nanum fonts-noto-color-emoji qt6-translations-l10n xdotool perl python3 ruby gawk desktop-file-utils \
libxml2-utils shared-mime-info"

# Installs whatever of KESTRIM_PACKAGES is missing (needs root or sudo).
kestrim_install_missing() {
  local missing=() pkg
  for pkg in $KESTRIM_PACKAGES; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures (once) and builds the project into ./build.
kestrim_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build build --parallel "$jobs"
}
