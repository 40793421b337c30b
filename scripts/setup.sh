# Sourced by run.sh and test.sh: installs the Debian packages the build needs,
# only those that are missing, with one apt-get update before the first install.
PACKAGES_BUILD="cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev nlohmann-json3-dev fonts-dejavu-core qt6-translations-l10n"
# checks.format needs clang-format, so test.sh installs it as a must.
PACKAGES_FORMAT="clang-format"
# dosfstools, fusefat (with fuse) and mtools: the tests that mount a real FAT image;
# xvfb, openbox and x11-utils: the tests that need a real window manager.
PACKAGES_CHECKS="locales clang libfuzzer-14-dev libclang-rt-14-dev dosfstools fusefat fuse mtools xvfb openbox x11-utils poppler-utils"
# The Windows build of the plain layers and the tool, run under Wine; best effort:
# without them test.sh says it skipped that part.
PACKAGES_WINDOWS="g++-mingw-w64-x86-64-posix wine64 wine googletest nlohmann-json3-dev"

tolmira_missing_packages() {
  local missing="" p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $p"
    fi
  done
  echo "$missing"
}

tolmira_install() {
  local missing
  missing=$(tolmira_missing_packages "$@")
  [ -z "$missing" ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "These packages are missing; install them as root and run again:" >&2
      echo "  apt-get update && apt-get install -y$missing" >&2
      return 1
    fi
  fi
  echo "Installing:$missing"
  if [ -z "${TOLMIRA_APT_UPDATED:-}" ]; then
    $sudo apt-get update -qq || return 1
    TOLMIRA_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null || return 1
}

tolmira_jobs() {
  nproc 2>/dev/null || echo 2
}

# The number tests also run under a locale whose decimal separator is ','.
tolmira_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$' && return 0
  command -v localedef >/dev/null 2>&1 || return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1 && sudo="sudo"
  $sudo localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 2>/dev/null || true
}
