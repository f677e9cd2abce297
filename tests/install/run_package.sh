#!/usr/bin/env bash
# Makes the Debian package from the build tree, unpacks it into a scratch root (dpkg -x) and uses
# the programs from there the way a machine that installed it does; checks what the package
# holds, what it depends on and what its maintainer scripts do.
# Arguments: build directory, source directory, library directory name, project version.
set -euo pipefail
build_dir=$1
source_dir=$2
libdir=$3
version=$4

for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

if ! cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack -G DEB"
fi
deb=$(echo "$work"/out/tarnwick_*.deb)
[ -f "$deb" ] || fail "no tarnwick_*.deb in $(ls "$work/out")"

# The control fields.
[ "$(dpkg-deb -f "$deb" Package)" = tarnwick ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
[ -n "$depends" ] || fail "Depends is empty"
grep -q "libqt6" <<<"$depends" || fail "Depends does not name Qt: $depends"
grep -q "libsqlite3" <<<"$depends" || fail "Depends does not name SQLite: $depends"
if grep -qi "velmora" <<<"$depends"; then fail "Depends names our own library: $depends"; fi
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no description"

# What the package holds.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/files"
expected=(
  usr/bin/tarnwick usr/bin/velmora
  "usr/$libdir/libVelmora.so" "usr/$libdir/libvelmora-runtime.so"
  usr/include/velmora/Velmora.h usr/include/velmora/Com.h usr/include/velmora/ComSupport.h
  "usr/$libdir/cmake/Velmora/VelmoraConfig.cmake" "usr/$libdir/cmake/Velmora/VelmoraTargets.cmake"
  usr/share/applications/tarnwick.desktop usr/share/icons/hicolor/scalable/apps/tarnwick.svg
  usr/share/man/man1/velmora.1.gz usr/share/man/man1/tarnwick.1.gz
  usr/share/doc/tarnwick/copyright usr/share/doc/tarnwick/changelog.gz
)
if [ -d "$source_dir/docs/manual" ]; then expected+=(usr/share/doc/tarnwick/manual/index.html); fi
for path in "${expected[@]}"; do
  grep -qx "$path" "$work/files" || fail "the package lacks $path"
done
if grep -v '^usr/' "$work/files" | grep -qv '^$'; then
  fail "files outside /usr: $(grep -v '^usr/' "$work/files" | tr '\n' ' ')"
fi

# The maintainer scripts: valid shell, registering on configure and unregistering on removal.
dpkg-deb -e "$deb" "$work/control"
for script in postinst prerm postrm; do
  [ -x "$work/control/$script" ] || fail "$script missing or not executable"
  sh -n "$work/control/$script" || fail "$script is not valid shell"
done
grep -q "/usr/bin/velmora register --system" "$work/control/postinst" || fail "postinst"
grep -q "/usr/bin/velmora unregister --system" "$work/control/prerm" || fail "prerm"
grep -q "ldconfig" "$work/control/triggers" || fail "no ldconfig trigger"

# The unpacked programs find their own libraries (RPATH), not the build tree's.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for program in velmora tarnwick; do
  runtime=$(ldd "$root/usr/bin/$program" | awk '/libvelmora-runtime/ {print $3}')
  [ "$(realpath "$runtime")" = "$(realpath "$root/usr/$libdir/libvelmora-runtime.so.${version%%.*}")" ] ||
    fail "$program loads the runtime from '$runtime'"
done
gzip -t "$root/usr/share/man/man1/velmora.1.gz" "$root/usr/share/man/man1/tarnwick.1.gz"

# Registered in a scratch registry, the unpacked tool creates and reads a database.
export VELMORA_REGISTRY="$work/registry"
unset VELMORA_LIBRARY
"$root/usr/bin/velmora" register >"$work/register.out"
grep -q "Registered $(realpath "$root/usr/$libdir/libVelmora.so") in $work/registry" "$work/register.out" ||
  fail "register: $(cat "$work/register.out")"
"$root/usr/bin/velmora" newdb "$work/team.mdb" | grep -q "Created" || fail "newdb"
"$root/usr/bin/velmora" summary "$work/team.mdb" >"$work/summary.out"
grep -q 'Logged in: Admin (user name "Admin", user ID 1)' "$work/summary.out" || fail "summary"
grep -q "Statuses (10): New, Active" "$work/summary.out" || fail "summary's statuses"
"$root/usr/bin/tarnwick" --help | grep -q "save-login" || fail "tarnwick --help"
"$root/usr/bin/velmora" unregister >/dev/null
if "$root/usr/bin/velmora" summary "$work/team.mdb" >/dev/null 2>&1; then
  fail "summary worked after unregister"
fi

# What the maintainer scripts do, where a private mount namespace can stand in for /etc/xdg:
# installed, the engine is registered for the machine and a user without a registry of their own
# uses it; removed, nothing is left behind.
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null && command -v setpriv >/dev/null; then
  unset VELMORA_REGISTRY
  # Another user (nobody) reaches the programs and a database of their own.
  chmod 755 "$work"
  mkdir "$work/nobody"
  cp "$work/team.mdb" "$work/nobody/team.mdb"
  chown -R 65534:65534 "$work/nobody"
  export XDG_CONFIG_HOME="$work/fresh-user" XDG_CONFIG_DIRS=/etc/xdg
  unshare -m bash -euo pipefail -c '
    root=$1 work=$2
    mount -t tmpfs tmpfs /etc/xdg
    umask 077
    # The package'"'"'s own scripts, pointed at the unpacked programs.
    for script in postinst prerm postrm; do
      sed "s|/usr/|$root/usr/|g" "$work/control/$script" >"$work/$script.here"
    done
    sh "$work/postinst.here" configure
    [ "$(stat -c %a /etc/xdg/velmora/registry)" = 644 ] || { echo "system file mode" >&2; exit 1; }
    [ "$(stat -c %a /etc/xdg/velmora)" = 755 ] || { echo "system directory mode" >&2; exit 1; }
    setpriv --reuid=65534 --regid=65534 --clear-groups \
      env HOME=/nonexistent "$root/usr/bin/velmora" summary "$work/nobody/team.mdb" >/dev/null ||
      { echo "another user cannot use the machine registration" >&2; exit 1; }
    [ ! -e "$XDG_CONFIG_HOME" ] || { echo "a user registry was written" >&2; exit 1; }
    sh "$work/prerm.here" upgrade
    [ -s /etc/xdg/velmora/registry ] || { echo "an upgrade unregistered" >&2; exit 1; }
    sh "$work/prerm.here" remove
    sh "$work/postrm.here" remove
    [ -z "$(ls -A /etc/xdg)" ] || { echo "left behind: $(ls -AR /etc/xdg)" >&2; exit 1; }
    sh "$work/postrm.here" purge
  ' machine-registry "$root" "$work" || fail "system-wide registration"
else
  echo "note: the system-wide registration was not tried (needs root and unshare)"
fi

echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, $(wc -l <"$work/files") entries"
