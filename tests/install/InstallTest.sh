#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop, man and
# systemd look for there, then runs the installed tarvoctl on a program
# directory of its own. Usage: InstallTest.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/tarvoprog bin/tarvoctl bin/mx7350-sim; do
  [ -x "$prefix/$f" ] || fail "$f is not installed"
done
for f in share/applications/tarvoprog.desktop share/icons/hicolor/scalable/apps/tarvoprog.svg \
         share/tarvoprog/translations/qtbase_ro.qm share/man/man1/tarvoctl.1.gz share/man/man1/mx7350-sim.1.gz \
         lib/systemd/system/tarvoprog-online.service lib/systemd/system/tarvoprog-serve.service; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done

# The menu entry starts the program by name and shows the installed icon.
desktop=$prefix/share/applications/tarvoprog.desktop
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the desktop entry"
else
  echo "desktop-file-validate is not installed: the entry is not validated"
fi
grep -qx 'Exec=tarvoprog' "$desktop" || fail "the entry does not start tarvoprog"
grep -qx 'Icon=tarvoprog' "$desktop" || fail "the entry does not name the icon"
if command -v xmllint >/dev/null; then
  xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/tarvoprog.svg" || fail "the icon is not well-formed"
fi

# The services run the tarvoctl installed beside them.
unit=$prefix/lib/systemd/system/tarvoprog-online.service
grep -qx "ExecStart=$prefix/bin/tarvoctl --home /var/lib/tarvoprog online" "$unit" ||
  fail "the unit does not run $prefix/bin/tarvoctl: $(grep ExecStart "$unit")"
serve=$prefix/lib/systemd/system/tarvoprog-serve.service
grep -qx "ExecStart=$prefix/bin/tarvoctl --home /var/lib/tarvoprog serve" "$serve" ||
  fail "the serve unit does not run $prefix/bin/tarvoctl: $(grep ExecStart= "$serve")"

# systemd's own measure rates both units "OK", the online one as shipped and
# with the network drop-in for a register behind a device server.
if systemd-analyze security --help 2>/dev/null | grep -q -- '--offline'; then
  rating=$(systemd-analyze security --offline=yes "$serve" 2>&1 | tail -n 1)
  grep -Eq ' (OK|SAFE) ' <<<"$rating" || fail "tarvoprog-serve.service is not rated OK: $rating"
  units=$tmp/root/etc/systemd/system
  mkdir -p "$units"
  cp "$unit" "$units/"
  rating() { systemd-analyze security --offline=yes --root="$tmp/root" tarvoprog-online.service 2>&1 | grep 'Overall exposure'; }
  grep -q ' OK' <<<"$(rating)" || fail "the unit does not rate OK: $(rating)"
  dropin=$prefix/share/tarvoprog/tarvoprog-online-network.conf
  [ -f "$dropin" ] || fail "the network drop-in is not installed"
  mkdir -p "$units/tarvoprog-online.service.d"
  cp "$dropin" "$units/tarvoprog-online.service.d/network.conf"
  grep -q ' OK' <<<"$(rating)" || fail "the unit with the network drop-in does not rate OK: $(rating)"
fi

# Every subcommand and option the programs list has its entry in their manual.
tarvoctl_man=$(zcat "$prefix/share/man/man1/tarvoctl.1.gz")
sim_man=$(zcat "$prefix/share/man/man1/mx7350-sim.1.gz")
help=$("$prefix/bin/tarvoctl" --home "$tmp/home" --help)
for s in $(sed -n '/^subcommands:/,/^program directory:/p' <<<"$help" | grep -E '^  [a-z]' | awk '{print $1}' | sort -u); do
  grep -Eq "^\.B[IR]? +\"?$s( |\"|$)" <<<"$tarvoctl_man" ||
    fail "tarvoctl.1 has no entry for the subcommand $s (add a .TP entry under SUBCOMMANDS)"
done
roff() { sed 's/-/\\-/g' <<<"$1"; }
for o in $(sed -n '/^global options/,/^subcommands:/p' <<<"$help" | grep -Eo '^  --[a-z-]+'); do
  grep -qF -- "$(roff "$o")" <<<"$tarvoctl_man" || fail "tarvoctl.1 does not describe $o"
done
for o in $("$prefix/bin/mx7350-sim" --help | grep -Eo '^  --[a-z-]+'); do
  grep -qF -- "$(roff "$o")" <<<"$sim_man" || fail "mx7350-sim.1 does not describe $o"
done
if command -v groff >/dev/null; then
  for page in tarvoctl mx7350-sim; do
    warnings=$(zcat "$prefix/share/man/man1/$page.1.gz" | groff -man -ww -z -Tutf8 2>&1 || true)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  done
fi

# --home names the program directory, made on first use; ports map writes
# the port map there and ports shows it.
home=$tmp/home/magazin
grep -qx "program directory: $tmp/home/" <<<"$help" || fail "--help does not show the --home directory"
"$prefix/bin/tarvoctl" --home "$home" ports map com2 /dev/ttyUSB9 >/dev/null 2>&1 || fail "ports map failed"
[ -d "$home" ] || fail "--home did not make its directory"
grep -q $'^COM2=/dev/ttyUSB9\r$' "$home/TARVOPROG.INI" || fail "ports map did not write [Porturi] COM2"
ports=$("$prefix/bin/tarvoctl" --home "$home" ports)
grep -Eq '^  COM2 +/dev/ttyUSB9 +\[Porturi\] +no such device$' <<<"$ports" || fail "ports does not show the map: $ports"
[ "$(grep -c '^  COM' <<<"$ports")" = 16 ] || fail "ports does not list COM1 to COM16"
echo "installed and checked in $prefix"
