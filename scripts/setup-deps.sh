#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Idempotent, and quick when everything is present (one dpkg query).
set -euo pipefail

PACKAGES=(
  cmake
  g++
  make
  pkg-config
  qtbase5-dev
  libjsoncpp-dev
  libgtest-dev
  clang
  libclang-rt-dev
  g++-multilib
)

fail() {
  echo "setup-deps: $*" >&2
  echo "setup-deps: the build needs these Debian 12 packages: ${PACKAGES[*]}" >&2
  echo "setup-deps: install them with: apt-get install --no-install-recommends ${missing[*]:-${PACKAGES[*]}}" >&2
  exit 1
}

missing=()
if ! command -v dpkg-query >/dev/null 2>&1; then
  missing=("${PACKAGES[@]}")
  fail "dpkg-query not found: this is not a Debian system, so nothing can be checked or installed"
fi

declare -A installed=()
while read -r name status; do
  [ "$status" = "install ok installed" ] && installed["${name%%:*}"]=1  # drop a multi-arch :arch
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)
for pkg in "${PACKAGES[@]}"; do
  [ -n "${installed[$pkg]:-}" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup-deps: installing ${missing[*]}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || fail "not root and no sudo: cannot install ${missing[*]}"
  SUDO=(sudo)
fi
command -v apt-get >/dev/null 2>&1 || fail "apt-get not found: cannot install ${missing[*]}"

export DEBIAN_FRONTEND=noninteractive
apt_install() { "${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; }
# The package lists may be missing or stale on a fresh machine: update once
# and try again before giving up.
if ! apt_install; then
  "${SUDO[@]}" apt-get update || fail "apt-get update failed"
  apt_install || fail "could not install ${missing[*]}"
fi
