#!/bin/sh
# Installs the Debian 12 packages Quotra builds and tests with. Run as root.
set -eu
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  cmake ninja-build g++ pkgconf qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins \
  libcurl4-openssl-dev ca-certificates libxlsxwriter-dev liborcus-dev libixion-dev \
  libboost-dev libfreexl-dev libpcre2-dev libicu-dev googletest libgtest-dev \
  libbenchmark-dev xvfb xauth fonts-ipafont-gothic clang libclang-rt-14-dev python3 >/dev/null
