#!/usr/bin/env bash
# Installs the Debian package into a fresh Debian 12 root made with
# debootstrap, as a new shop machine would get it, and checks that the
# programs start there: `kassio --version` and `--help` without a desktop,
# `kassio-admin init` and `check` on a new data folder as an ordinary user,
# `kassio-server --version`. Then removes the package and checks nothing of
# it is left. Needs root (debootstrap, chroot) and the network (the Debian
# mirror); takes a few minutes. Not part of `make test`.
#
#   tests/package/fresh_root_test.sh [PACKAGE.deb] [ROOT]
#
# Without a package it runs `make package` first. ROOT (default: a new
# folder under /var/tmp) is kept for another run when given.
set -euo pipefail
cd "$(dirname "$0")/../.."

[ "$(id -u)" -eq 0 ] || { echo "needs root: debootstrap and chroot"; exit 77; }
command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap

deb=${1:-}
if [ -z "$deb" ]; then
    make package
    deb=$(ls -t build/kassio_*.deb | head -1)
fi
root=${2:-/var/tmp/kassio-fresh-root}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
echo "package: $deb ($(du -h "$deb" | cut -f1))"

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f s", b - a }'; }

if [ ! -x "$root/usr/bin/apt-get" ]; then
    t=$(seconds)
    debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
    echo "debootstrap: $(elapsed "$t"), $(du -sh "$root" | cut -f1)"
fi

mounted=()
cleanup() {
    for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done
}
trap cleanup EXIT
for m in proc sys dev; do
    mountpoint -q "$root/$m" || { mount --bind "/$m" "$root/$m"; mounted+=("$root/$m"); }
done
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

cp "$deb" "$root/tmp/kassio.deb"
before=$(in_root df -k --output=used / | tail -1)
t=$(seconds)
in_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq /tmp/kassio.deb >/dev/null
after=$(in_root df -k --output=used / | tail -1)
echo "install with its dependencies: $(elapsed "$t"), $(( (after - before) / 1024 )) MB"

fail() { echo "FAIL: $*"; exit 1; }
version=$(in_root kassio --version) || fail "kassio --version"
echo "$version" | grep -q '^kassio [0-9]' || fail "kassio --version printed: $version"
in_root kassio --help | grep -q -- '--data-dir' || fail "kassio --help"
out=$(in_root kassio 2>&1) && fail "kassio started without a desktop"
echo "$out" | grep -q "no desktop" || fail "kassio without a desktop said: $out"
in_root kassio-server --version | grep -q '^kassio-server' || fail "kassio-server --version"

id shop >/dev/null 2>&1 || in_root useradd -m shop 2>/dev/null || true
chroot "$root" su -s /bin/sh shop -c 'cd && kassio-admin init && kassio-admin check' ||
    fail "kassio-admin init/check as a shop user"
home="$root/home/shop/.local/share/Orvane/kassio SC"
[ -f "$home/kq.cfg" ] || fail "no kq.cfg in the new data folder"
[ -f "$home/inventory.dat" ] || fail "the sample shop was not installed"
[ "$(stat -c %a "$home")" = 700 ] || fail "the data folder is not private: $(stat -c %a "$home")"
[ -f "$root/usr/share/applications/kassio.desktop" ] || fail "no launcher"
[ -f "$root/lib/systemd/system/kassio-server@.service" ] || fail "no service unit"
echo "installed programs work: $version"

DEBIAN_FRONTEND=noninteractive in_root apt-get purge -y -qq kassio >/dev/null
left=$(in_root sh -c 'ls /usr/bin/kassio* /usr/share/kassio /usr/share/applications/kassio.desktop 2>/dev/null' || true)
[ -z "$left" ] || fail "left after purge: $left"
[ -d "$home" ] || fail "the purge removed the shop's data"
echo "removed cleanly; the shop's data folder stays"
echo "PASS"
