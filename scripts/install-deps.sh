#!/bin/sh
# Installs the Debian 12 packages Quotra needs. Run as root.
#   scripts/install-deps.sh          what the build of the programs and their run need
#   scripts/install-deps.sh --tests  that, and what the tests, benchmarks and tools need
# scripts/main.sh installs the first set, scripts/test.sh the second. Nothing else is needed
# on a freshly installed machine; scripts/fresh-check.sh proves it in a pristine root.
set -eu
export DEBIAN_FRONTEND=noninteractive

# The build (cmake/Dependencies.cmake) and the programs at run time: the platform plugins
# (offscreen among them), the SVG icon engine of the window's icons, Qt's own texts in
# Japanese, a Japanese font and the certificates for the quote site over HTTPS. libzip opens
# the parts of .xlsx workbooks that are read as lists, libminizip-dev gives the header of the
# packer libxlsxwriter writes them with; libnghttp2-dev and libssl-dev give the
# sample site its HTTP/2 and its self-signed certificate; libsqlite3-dev the price history, qt6-charts-dev its chart (its CMake files need libqt6opengl6-dev, which the package does not pull in). ccache is the compiler cache every
# build of the scripts goes through (scripts/ccache-env.sh).
base="cmake ninja-build g++ pkgconf ccache
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  libcurl4-openssl-dev ca-certificates libicu-dev libpcre2-dev libnghttp2-dev libssl-dev
  libxlsxwriter-dev libfreexl-dev libzip-dev libminizip-dev libsqlite3-dev
  qt6-charts-dev libqt6opengl6-dev libqt6svg6 qt6-translations-l10n
  fonts-ipafont-gothic"

# The tests and tools only:
#   googletest, libgtest-dev, libgmock-dev  GoogleTest and GoogleMock (tests/quotes/http)
#   libbenchmark-dev                        the bench_* programs
#   dbus-daemon                             the private session bus of tests/corelib/taskbar
#   locales                                 the de_DE sources of the tests' comma-decimal locale
#   xvfb, xauth                             tests that need a real X display
#   python3 and its workbook modules        test-data generators and checks of written workbooks
#   desktop-file-utils, libxml2-utils       checks of the desktop entry and metadata files
#   clang, libclang-rt-14-dev               libFuzzer (scripts/test.sh --fuzz)
#   clang-format, clang-tidy                scripts/lint.sh
#   man-db                                  the check of the manual pages (man --warnings)
#   appstream                               the check of the metainfo (appstreamcli validate)
#   dpkg-dev, lintian                       the check of the Debian package (cpack, lintian)
tests="googletest libgtest-dev libgmock-dev libbenchmark-dev
  dbus-daemon locales xvfb xauth
  python3 python3-openpyxl python3-xlwt python3-xlsxwriter
  desktop-file-utils libxml2-utils man-db appstream dpkg-dev lintian
  clang libclang-rt-14-dev clang-format clang-tidy"

case "${1:-}" in
  "") packages="$base" ;;
  --tests) packages="$base $tests" ;;
  *)
    echo "usage: $0 [--tests]" >&2
    exit 2
    ;;
esac

apt-get update -qq
# shellcheck disable=SC2086 # one package a word
apt-get install -y -qq --no-install-recommends $packages >/dev/null
