#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need,
# only those that are missing. Run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libsqlite3-dev sqlite3
  nlohmann-json3-dev libcli11-dev
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-x86-64-dev mingw-w64-i686-dev
  unixodbc unixodbc-dev libsqliteodbc odbc-postgresql
  postgresql postgresql-client
  python3
  # A German locale for the Wine tier (compiled into the build folder).
  locales
  # Fuzzing: clang's libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
  # The Windows side: the type library compiler and Wine to run the DLL.
  wine64 wine64-tools libwine-dev xvfb xauth fonts-wine x11-apps imagemagick
  # The Windows Installer package (make package).
  wixl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# 32-bit Wine for the i686 DLL, the build that ships for the 32-bit host. It
# needs the i386 architecture, and a kernel that can run 32-bit programs: the
# small C library comes first, and the rest (about 1.1 GB) only when it runs.
# With Wine come the i386 builds of what its programs reach through ODBC:
# unixODBC, its odbcinst library (SQLite's driver loads it at run time to
# read a data source's Database=, and silently opens an empty database
# without it), SQLite's driver and PostgreSQL's (the setup sheet's "Test
# Connection" is cancelled while it waits on a server that never answers).
# Checked also where wine32 is there.
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
i386_packages=(wine32:i386 libodbc2:i386 libodbcinst2:i386 libsqliteodbc:i386 odbc-postgresql:i386)
i386_missing=()
for p in "${i386_packages[@]}"; do installed "$p" || i386_missing+=("$p"); done
if [ ${#i386_missing[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
    "${sudo_cmd[@]}" apt-get update -qq
  fi
  installed libc6:i386 ||
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends libc6:i386
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "install-deps: installing ${i386_missing[*]}"
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${i386_missing[@]}"
  else
    echo "install-deps: this kernel cannot run 32-bit programs; 32-bit Wine is not installed"
  fi
fi
