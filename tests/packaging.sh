#!/usr/bin/env bash
# Installs into a scratch folder and builds the Debian package, then checks
# that what a desktop, a shell, man and udev need is where they look, that the
# package depends on what the program needs (the C library, libzip, Debian's
# Qt libraries of the major version it was built with, for Qt 6 its platform
# plugins; no other Qt, no outside program), that its binaries are stripped
# with their symbols in the debug package, that it holds the user guide as
# HTML whose links all lead somewhere, and runs the validators that are
# installed: lintian, appstreamcli, desktop-file-validate, groff.
#
#   tests/packaging.sh BUILD-FOLDER QT-MAJOR
set -euo pipefail
build=$1
qt=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
have() { command -v "$1" >/dev/null 2>&1; }

root=$scratch/root
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
desktop=usr/share/applications/com.tavero.Companion.desktop
metainfo=usr/share/metainfo/com.tavero.Companion.metainfo.xml
rule=usr/lib/udev/rules.d/70-tavero-companion.rules
manpages="usr/share/man/man1/tvc.1.gz usr/share/man/man1/tvc-update.1.gz usr/share/man/man1/tvc-watch.1.gz
          usr/share/man/man1/tvc-sim.1.gz"
unit=usr/lib/systemd/system/tvc-watch.service
docs=usr/share/doc/tavero-companion
guide=$docs/user-guide.html
files="usr/bin/tvc usr/bin/tvc-update usr/bin/tvc-watch usr/bin/tvc-sim $desktop $metainfo $rule $manpages $unit
       usr/share/icons/hicolor/256x256/apps/tavero-companion.png
       usr/share/bash-completion/completions/tvc-update usr/share/bash-completion/completions/tvc-watch
       usr/share/bash-completion/completions/tvc-sim
       $docs/copyright $docs/changelog.gz $guide"
for f in $files; do
    [ -f "$root/$f" ] || fail "missing after install: $f"
done
grep -q '^Exec=tvc$' "$root/$desktop" || fail "the menu entry does not start tvc"

# The user guide (About → User Guide opens it) and the other pages: HTML made
# from the Markdown, whose every link to a page or picture of their own is
# installed beside them (a link to the web is left alone).
grep -q '<h1 id="tavero-companion-user-guide">' "$root/$guide" || fail "$guide is not the user guide in HTML"
for page in "$root/$docs"/*.html; do
    for target in $(grep -o '\(href\|src\)="[^"#]*' "$page" | sed 's/^[a-z]*="//' | grep -v '^[a-z]*:' | sort -u); do
        [ -f "$(dirname "$page")/$target" ] || fail "$(basename "$page") links to $target, which is not installed"
    done
done

# The rule must tag the port before 71-seat.rules hands tagged devices to the
# seat and 73-seat-late.rules sets the user's access; it never opens the port
# to everyone.
priority=$(basename "$rule" | cut -d- -f1)
[ "$((10#$priority))" -lt 71 ] || fail "the udev rule comes too late for uaccess: $rule"
grep -q '^SUBSYSTEM=="tty".*ATTRS{manufacturer}=="\*Silicon Lab\*".*TAG+="uaccess"' "$root/$rule" \
    || fail "the udev rule does not tag the bridge's port with uaccess"
if grep -v '^#' "$root/$rule" | grep -q 'MODE\|GROUP'; then
    fail "the udev rule changes the port's mode or group"
fi

# The watch's service serves on loopback alone and runs without root; it is
# installed, not enabled: no maintainer script starts it.
grep -q '^ExecStart=/usr/bin/tvc-watch .*--metrics 127\.0\.0\.1:' "$root/$unit" || fail "the service does not serve on loopback"
grep -q '^DynamicUser=yes' "$root/$unit" || fail "the service runs as root"
if have systemd-analyze; then
    out=$(systemd-analyze verify --man=no "$root/$unit" 2>&1 | grep -v 'tvc-watch\b.*is not executable\|Command /usr/bin/tvc-watch') || true
    [ -z "$out" ] || fail "systemd-analyze verify: $out"
fi

# Manual pages: compressed without a name or time stamp (the same bytes on
# every build), and free of formatting warnings.
for page in $manpages; do
    header=$(od -An -tx1 -N8 "$root/$page" | tr -d ' ')
    [ "${header:0:6}" = 1f8b08 ] || fail "$page is not gzip"
    [ "${header:6:2}" = 00 ] && [ "${header:8:8}" = 00000000 ] || fail "$page keeps a name or time stamp"
    if have groff; then
        warnings=$(gzip -dc "$root/$page" | groff -man -ww -z 2>&1)
        [ -z "$warnings" ] || fail "$page: $warnings"
    fi
done

if have desktop-file-validate; then
    out=$(desktop-file-validate "$root/$desktop" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
if have appstreamcli; then
    appstreamcli validate --no-net --pedantic "$root/$metainfo" >"$scratch/appstream" 2>&1 \
        || { cat "$scratch/appstream"; fail "appstreamcli validate"; }
    grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$root/$metainfo" \
        || fail "the metainfo does not launch the menu entry"
fi

(cd "$build" && cpack -G DEB -B "$scratch/deb" >/dev/null)
deb=$(ls "$scratch"/deb/tavero-companion_*.deb)
dbgsym=$(ls "$scratch"/deb/tavero-companion-dbgsym_*.ddeb)
fields=$(dpkg-deb -f "$deb" Package Version Maintainer Depends)
echo "$fields"
grep -q '^Package: tavero-companion$' <<<"$fields" || fail "package name"
grep -q '^Version: 1.5.0.0$' <<<"$fields" || fail "version"

# Dependencies, alternatives included, by package name.
depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | grep -v '^$' | LC_ALL=C sort -u)
if [ "$qt" = 5 ]; then
    needed="libc6 libzip4 libcpp-httplib0.11 libqt5core5a libqt5serialport5 libqt5widgets5"
else
    needed="libc6 libzip4 libcpp-httplib0.11 libqt6core6 libqt6serialport6 libqt6widgets6 qt6-qpa-plugins"
fi
for p in $needed; do
    grep -qx "$p" <<<"$depends" || fail "the package does not depend on $p"
done
other=$((qt == 5 ? 6 : 5))
for p in $depends; do
    case $p in
    libqt${other}* | qt${other}-*) fail "the Qt $qt package depends on Qt $other: $p" ;;
    lib* | qt6-qpa-plugins) ;;
    *) fail "the package depends on a program: $p" ;;
    esac
done

# Binaries stripped, their symbols in the debug package under their build ids.
dpkg-deb -x "$deb" "$scratch/unpacked"
dpkg-deb -x "$dbgsym" "$scratch/dbgsym"
for bin in tvc tvc-update tvc-watch tvc-sim; do
    sections=$(readelf -S "$scratch/unpacked/usr/bin/$bin")
    if grep -q '\.debug_info\|\.symtab' <<<"$sections"; then
        fail "usr/bin/$bin is not stripped"
    fi
    id=$(readelf -n "$scratch/unpacked/usr/bin/$bin" | sed -n 's/.*Build ID: *//p')
    [ -f "$scratch/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" ] \
        || fail "no debug symbols for usr/bin/$bin (build id $id)"
done

# Every file installed is in the package, owned by root, and only the
# binaries are executable.
listing=$(dpkg-deb -c "$deb")
for f in $files; do
    line=$(echo "$listing" | grep " \./$f$") || fail "not in the package: $f"
    case $f in
    usr/bin/*) [[ $line == -rwxr-xr-x\ root/root* ]] || fail "mode or owner of $f: $line" ;;
    *) [[ $line == -rw-r--r--\ root/root* ]] || fail "mode or owner of $f: $line" ;;
    esac
done
dpkg-deb -e "$deb" "$scratch/control"
for script in postinst postrm; do
    [ -f "$scratch/control/$script" ] || fail "the package has no $script"
    sh -n "$scratch/control/$script" || fail "$script does not parse"
    grep -q 'udevadm control --reload-rules' "$scratch/control/$script" || fail "$script does not reload the rules"
    if grep -q 'systemctl\|deb-systemd' "$scratch/control/$script"; then
        fail "$script enables or starts a service"
    fi
done

# lintian: no error and no warning on either package (the debug package
# under a .deb name, which lintian reads).
if have lintian; then
    cp "$dbgsym" "$scratch/tavero-companion-dbgsym.deb"
    status=0
    said=$(lintian --fail-on error,warning "$deb" "$scratch/tavero-companion-dbgsym.deb" 2>&1) || status=$?
    echo "$said" | grep -v 'running with root privileges' || true
    [ "$status" = 0 ] || fail "lintian"
fi
