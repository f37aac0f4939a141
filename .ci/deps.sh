#!/usr/bin/env bash
# Installs what is missing on a Debian machine (apt-get, non-interactive):
#   build  compiler, make, CMake, GoogleTest (the build configures the tests)
#   plots  gnuplot (package gnuplot-nox), which korvo-plot draws with
# Usage: .ci/deps.sh build [plots]
set -euo pipefail
need=()
for what in "$@"; do
  case "$what" in
    build)
      command -v g++ >/dev/null 2>&1 || need+=(g++)
      command -v make >/dev/null 2>&1 || need+=(make)
      command -v cmake >/dev/null 2>&1 || need+=(cmake)
      [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
      ;;
    plots)
      command -v gnuplot >/dev/null 2>&1 || need+=(gnuplot-nox)
      ;;
    *) echo "usage: $0 build [plots]" >&2; exit 2 ;;
  esac
done
[ ${#need[@]} -eq 0 ] && exit 0
echo "installing: ${need[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${need[@]}"
