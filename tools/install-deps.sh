#!/bin/sh
# Installs the Debian packages the build needs, when they are missing.
missing=""
for p in "$@"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends $missing && exit 0
fi
echo "Missing packages. Install them with:"
echo "  sudo apt-get install$missing"
exit 1
