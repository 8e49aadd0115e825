# Sourced by the build scripts from the top of the clone: where the compiler cache lives and
# how it hashes, so that every build kind CI makes (release, ASan+UBSan, TSan, the clang fuzz
# build, and the builds of the fresh check) shares one cache, and a clone in another folder
# still hits. The CMake side (cmake/CommonConfig.cmake) compiles through ccache whenever it is
# installed.
#   QUOTRA_CCACHE_DIR   the cache folder (/var/cache/quotra-ccache; a folder below the user's
#                       cache folder when that one cannot be written)
#   QUOTRA_CCACHE_SIZE  its size limit (12G: the four build kinds take about 6 GB)
if command -v ccache >/dev/null 2>&1; then
  CCACHE_DIR="${QUOTRA_CCACHE_DIR:-/var/cache/quotra-ccache}"
  if ! mkdir -p "$CCACHE_DIR" 2>/dev/null || [ ! -w "$CCACHE_DIR" ]; then
    CCACHE_DIR="${XDG_CACHE_HOME:-$HOME/.cache}/quotra-ccache"
    mkdir -p "$CCACHE_DIR"
  fi
  export CCACHE_DIR
  # Paths below the clone are hashed relative to it and the working folder is not hashed, so
  # the same sources in /tmp/ci.1234 and /root/quotra give the same keys.
  CCACHE_BASEDIR="$(pwd -P)"
  export CCACHE_BASEDIR
  export CCACHE_NOHASHDIR=true
  # The compiler is known by its size and time stamp (ccache's default): the fresh check's
  # compiler is the same package, unpacked with the same time stamps into another root.
  export CCACHE_MAXSIZE="${QUOTRA_CCACHE_SIZE:-12G}"
fi
