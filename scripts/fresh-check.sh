#!/bin/bash
# Runs the README's two commands as a new user would: on a freshly installed Debian 12, as
# root, from a clean clone, with nothing else installed.
#
#   scripts/fresh-check.sh            check the committed HEAD of this clone
#   scripts/fresh-check.sh --refresh  make the pristine root anew first
#
# A pristine root made with `debootstrap --variant=minbase bookworm` is kept under
# /var/cache/quotra-fresh/ (QUOTRA_FRESH_CACHE overrides it) and copied for each run. The
# repository is cloned into the copy, then scripts/main.sh and after it scripts/test.sh run
# there through chroot with a bare environment, in that order and in the same clone, so the
# tests reuse what the main command built. Downloaded packages are kept in the cache's
# archives/ folder for later runs. Prints each command's exit status and wall time, and exits
# non-zero when either fails. Needs root. QUOTRA_FRESH_KEEP=1 keeps the used root (unmounted)
# for a look afterwards; QUOTRA_FRESH_MIRROR names the Debian mirror to use instead of the one
# this machine's apt uses; QUOTRA_FRESH_TIMEOUT (seconds, default 1800) ends a command that
# takes longer, so a hang fails well within CI's time. The compiler cache is shared with the
# root (below); QUOTRA_FRESH_CCACHE=0 builds there without it.
set -euo pipefail

# One block, read whole before it runs: a checkout that changes this file during a run
# does not change the run.
{
repo="$(cd "$(dirname "$0")/.." && pwd)"
cache="${QUOTRA_FRESH_CACHE:-/var/cache/quotra-fresh}"
pristine="$cache/bookworm"
archives="$cache/archives"
step_timeout="${QUOTRA_FRESH_TIMEOUT:-1800}"
refresh=0
case "${1:-}" in
  "") ;;
  --refresh) refresh=1 ;;
  *)
    echo "usage: $0 [--refresh]" >&2
    exit 2
    ;;
esac
if [ "$(id -u)" != 0 ]; then
  echo "fresh-check: needs root (debootstrap, chroot, mount)" >&2
  exit 2
fi

say() { echo "fresh-check: $*"; }
minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

# The first URI that this machine's apt uses for Debian suite $1, from one-line *.list files
# and deb822 *.sources files alike.
apt_uri() {
  local suite="$1" f
  {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '
        $1 == "deb" {
          i = 2
          if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
          if ($(i + 1) == s) { print $i; exit }
        }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '
        function flush() {
          if (!done && enabled != "no" && index(" " types " ", " deb ") \
              && index(" " suites " ", " " s " ") && uris != "") {
            split(uris, u, " "); print u[1]; done = 1
          }
          types = ""; uris = ""; suites = ""; enabled = ""
        }
        function value() { sub(/^[^:]*:[ \t]*/, ""); return $0 }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^Types:/ { types = value(); next }
        /^URIs:/ { uris = value(); next }
        /^Suites:/ { suites = value(); next }
        /^Enabled:/ { enabled = tolower(value()); next }
        END { flush() }' "$f"
    done
  } | head -n 1
}

# The pristine root: debootstrap's minimal base and the package sources a Debian installer
# writes (the release, its updates, its security updates), nothing else.
make_pristine() {
  local mirror security started
  mirror="${QUOTRA_FRESH_MIRROR:-$(apt_uri bookworm)}"
  if [ -z "$mirror" ]; then
    echo "fresh-check: this machine's apt has no source for bookworm; set QUOTRA_FRESH_MIRROR" >&2
    exit 2
  fi
  security="$(apt_uri bookworm-security)"
  if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
  fi
  say "debootstrap --variant=minbase bookworm from $mirror"
  started=$(date +%s)
  rm -rf --one-file-system "$pristine.new"
  if ! debootstrap --variant=minbase --cache-dir="$archives" bookworm "$pristine.new" "$mirror" \
      >"$cache/debootstrap.log" 2>&1; then
    tail -n 30 "$cache/debootstrap.log" >&2
    echo "fresh-check: debootstrap failed (log: $cache/debootstrap.log)" >&2
    exit 1
  fi
  {
    echo "deb $mirror bookworm main"
    echo "deb $mirror bookworm-updates main"
    if [ -n "$security" ]; then
      echo "deb $security bookworm-security main"
    fi
  } >"$pristine.new/etc/apt/sources.list"
  # A chroot has no init system: packages must not start services that outlive the run.
  printf '#!/bin/sh\nexit 101\n' >"$pristine.new/usr/sbin/policy-rc.d"
  chmod 755 "$pristine.new/usr/sbin/policy-rc.d"
  rm -rf --one-file-system "$pristine"
  mv "$pristine.new" "$pristine"
  say "debootstrap took $(minutes $(($(date +%s) - started)))"
}

mkdir -p "$archives/partial"
# One fresh check at a time on a machine: each is a whole build.
exec 9>"$cache/lock"
if ! flock -n 9; then
  say "waiting for another fresh check to finish"
  flock 9
fi
if [ "$refresh" = 1 ] || [ ! -x "$pristine/bin/sh" ]; then
  make_pristine
else
  say "pristine root from $pristine (made $(date -r "$pristine/etc/apt/sources.list" '+%F %R'))"
fi

root="$(mktemp -d "$cache/run.XXXXXX")"
# The second root, where the built package is installed (made after the two commands).
root2=""
mounted=()

# Processes still running inside the root (a daemon a test left behind) would keep its
# mounts busy: they are ended first, then every mount is undone, innermost first, and the
# root is removed only once nothing is mounted below it any more.
# shellcheck disable=SC2317 # called by the trap
cleanup() {
  local rc=$? pid i left
  trap - EXIT INT TERM
  for pid in /proc/[0-9]*; do
    case "$(readlink "$pid/root" 2>/dev/null)" in
      "$root" | "${root2:-$root}") kill -KILL "${pid#/proc/}" 2>/dev/null || true ;;
    esac
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
  done
  for r in "$root" ${root2:+"$root2"}; do
    left="$(awk -v r="$r/" 'index($2 "/", r) == 1 { print $2 }' /proc/self/mounts)"
    if [ -n "$left" ]; then
      echo "fresh-check: still mounted, $r left in place: $left" >&2
      rc=1
    elif [ "${QUOTRA_FRESH_KEEP:-0}" = 1 ]; then
      say "the used root is kept in $r"
    else
      rm -rf --one-file-system "$r"
    fi
  done
  exec 9>&-
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# bind SOURCE TARGET: mounts SOURCE at TARGET inside the root $in_root (the first root
# when unset).
bind() {
  local r="${in_root:-$root}"
  mkdir -p "$r$2"
  mount --bind "$1" "$r$2"
  mounted+=("$r$2")
}

say "copying the pristine root to $root"
started=$(date +%s)
cp -a "$pristine/." "$root/"
say "copy took $(minutes $(($(date +%s) - started)))"
rm -f "$root/etc/resolv.conf"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

git clone --quiet --no-hardlinks "$repo" "$root/root/quotra"
say "cloned $(git -C "$root/root/quotra" log -1 --format='%h %s')"
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
  say "(changes not committed in $repo are not part of the check)"
fi

bind /proc /proc
bind /sys /sys
bind /dev /dev
bind /dev/pts /dev/pts
if mountpoint -q /dev/shm; then
  bind /dev/shm /dev/shm
fi
bind "$archives" /var/cache/apt/archives
# The compiler cache of this machine (scripts/ccache-env.sh) is bound to the place the scripts
# in the root look for it, so the builds there reuse what was compiled outside; it is mounted
# for the two commands and undone with the other mounts. It cannot hide a package the install
# list lacks: ccache hashes each unit's preprocessed text, or in direct mode the list of
# headers the unit read together with their content, and checks those headers against the
# root's own files at every compile, so a header that is not installed makes the compile run
# the preprocessor and fail on it (tests/ci/ccache-missing-header.sh shows it). Nothing is
# cached for linking, configuring (find_package, pkg-config) or running, which all use only
# what the root has installed.
if [ "${QUOTRA_FRESH_CCACHE:-1}" = 1 ]; then
  ccache_dir="${QUOTRA_CCACHE_DIR:-/var/cache/quotra-ccache}"
  mkdir -p "$ccache_dir"
  bind "$ccache_dir" /var/cache/quotra-ccache
fi

# Runs one command from /root/quotra (the top of the clone), as root in the fresh root
# ($in_root when set), with the bare environment of a new login: only HOME, PATH and LANG.
results=()
status=0
run() {
  local started rc=0 took
  say "running $1"
  started=$(date +%s)
  env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    timeout --kill-after=30 "$step_timeout" \
    chroot "${in_root:-$root}" /bin/sh -c "cd /root/quotra && exec $1" </dev/null 9>&- || rc=$?
  took="$(minutes $(($(date +%s) - started)))"
  [ "$rc" = 124 ] && took="$took (timed out)"
  say "$1 exited $rc after $took"
  results+=("$1: exit $rc, $took")
  if [ "$rc" != 0 ]; then
    status=1
  fi
}

run scripts/main.sh
run scripts/test.sh

# Third, the package rather than the build: the first root packs its build with cpack; a
# second pristine root installs the .deb with apt, so its dependencies come from Debian alone
# (with man-db and bash-completion, which a user reading the page and completing has), and
# runs the installed programs: quotra-cli fetch against a copy of the sample site, quotra's
# unattended run headless, man quotra-cli and the completion
# (tests/install/check-installed-package.sh).
run "sh -c 'cd build && cpack -G DEB >/dev/null'"
deb="$(find "$root/root/quotra/build" -maxdepth 1 -name 'quotra_*.deb' | head -n 1)"
if [ -z "$deb" ]; then
  say "cpack made no package; it is not installed"
  results+=("package install: no package")
  status=1
else
  root2="$(mktemp -d "$cache/run.XXXXXX")"
  say "copying the pristine root to $root2 for the package"
  cp -a "$pristine/." "$root2/"
  rm -f "$root2/etc/resolv.conf"
  cp -L /etc/resolv.conf "$root2/etc/resolv.conf"
  mkdir -p "$root2/root/quotra"
  cp "$deb" "$root/root/quotra/build/bin/quotra-sample-site" \
    "$root/root/quotra/tests/install/check-installed-package.sh" "$root2/root/quotra/"
  in_root="$root2"
  bind /proc /proc
  bind /sys /sys
  bind /dev /dev
  bind /dev/pts /dev/pts
  bind "$archives" /var/cache/apt/archives
  run "sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./$(basename "$deb") man-db bash-completion >/dev/null'"
  run "./check-installed-package.sh /usr ./quotra-sample-site"
  env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin chroot "$root2" apt-get autoclean -qq >/dev/null 2>&1 || true
  in_root=""
fi

# Old package versions the mirror no longer has are dropped from the kept archives.
env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin chroot "$root" apt-get autoclean -qq >/dev/null 2>&1 || true

say "summary"
for r in "${results[@]}"; do
  echo "  $r"
done
exit "$status"
}
