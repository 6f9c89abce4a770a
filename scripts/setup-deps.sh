#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Idempotent and quick when everything is present.
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
  libclang-rt-14-dev
  g++-multilib
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
  else
    echo "setup-deps: these Debian packages are missing: ${missing[*]}" >&2
    echo "setup-deps: run as root, or install them with: apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
fi

export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
  $SUDO apt-get update
  if ! $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
    echo "setup-deps: could not install: ${missing[*]}" >&2
    echo "setup-deps: the build needs these Debian 12 packages; install them and run again" >&2
    exit 1
  fi
fi
