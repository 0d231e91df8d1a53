#!/usr/bin/env bash
# Checks the installation of a finished build (default: build): installs it into a temporary prefix
# and staged with DESTDIR, checks the layout, validates the desktop entry and the AppStream data,
# makes the Debian package, checks its contents and dependencies and runs lintian on it (failing on
# errors), and starts the installed program as an unprivileged user with a home of its own: its
# database appears under that home with the three tables, and nothing is written under the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build="${1:-build}"
id=org.meridell.Meridell
export QT_QPA_PLATFORM=offscreen

work="$(mktemp -d /tmp/meridell-install.XXXXXX)"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "test-install: $*" >&2; exit 1; }

cmake --build "$build" -j"$(nproc)" --target meridell meridell_desktop_files

# The files an installation holds, relative to its prefix.
expected=(
    bin/meridell
    share/meridell/source/bookreport.doc share/meridell/source/projectlist.doc
    share/meridell/source/picture.bmp share/meridell/help/PROJECTHELP.html
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg" "share/icons/hicolor/48x48/apps/$id.png"
    "share/icons/hicolor/256x256/apps/$id.png" share/man/man1/meridell.1.gz
    share/doc/meridell/copyright share/doc/meridell/changelog.Debian.gz
)
check_layout() {
    local root="$1" file
    for file in "${expected[@]}"; do
        [[ -f "$root/$file" ]] || fail "$root/$file is missing"
    done
    [[ -x "$root/bin/meridell" ]] || fail "$root/bin/meridell is not executable"
    [[ ! -e "$root/share/meridell/source/project.mdb" ]] || fail "a database was installed"
    local png size
    for png in "$root"/share/icons/hicolor/*x*/apps/"$id".png; do
        size="$(basename "$(dirname "$(dirname "$png")")")"
        file -b "$png" | grep -q ", ${size/x/ x }," || fail "$png is not of $size"
    done
}

echo "== install into a prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > /dev/null
check_layout "$prefix"
echo "== install staged with DESTDIR"
DESTDIR="$work/stage" cmake --install "$build" --prefix /opt/meridell > /dev/null
check_layout "$work/stage/opt/meridell"

echo "== desktop entry and AppStream data"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

echo "== Debian package"
(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$(ls "$work"/deb/meridell_*.deb)"
dpkg-deb -c "$deb" > "$work/contents"
for file in "${expected[@]}"; do
    grep -q " \./usr/$file\$" "$work/contents" || fail "the package holds no usr/$file"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libqt6charts6 \
    libzip4 libxlsxwriter4 libpugixml1v5 fonts-noto-cjk fonts-arphic-ukai fonts-liberation2 qt6-translations-l10n; do
    grep -qE "(^|, )$package( |,|\$)" <<< "$depends" || fail "the package does not depend on $package: $depends"
done
dpkg-deb -f "$deb" Recommends | grep -q "libreoffice-writer-nogui | libreoffice-writer" ||
    fail "the package does not recommend LibreOffice Writer"
dpkg-deb -x "$deb" "$work/unpacked"
file -b "$work/unpacked/usr/bin/meridell" | grep -q ", stripped" || fail "the packaged program is not stripped"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

# Starts the installed program `program` as an unprivileged user with HOME `home` and the
# environment given after it, waits until `database` holds the three tables, and ends it.
start_as_user() {
    local program="$1" home="$2" database="$3"
    shift 3
    mkdir -p "$home"
    local as_user=()
    if [[ "$(id -u)" -eq 0 ]]; then
        chown nobody:nogroup "$home"
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen "$@" \
        timeout 60 "$program" > "$work/run.log" 2>&1 &
    local pid=$! waited=0
    until [[ -f "$database" ]] && sqlite3 "$database" .tables 2> /dev/null | grep -q table3; do
        if ! kill -0 "$pid" 2> /dev/null || [[ "$waited" -ge 300 ]]; then
            kill "$pid" 2> /dev/null || true
            cat "$work/run.log" >&2
            fail "the installed program made no database at $database"
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    sleep 1  # the window is up; anything it would write under the prefix is written by now
    kill "$pid"
    wait "$pid" || true
    [[ "$(sqlite3 "$database" .tables | tr -s ' \n' ' ')" == "table1 table2 table3 " ]] ||
        fail "$database does not hold the three tables"
    if [[ "$(id -u)" -eq 0 ]]; then
        [[ "$(stat -c %U "$database")" == nobody ]] || fail "$database is not the user's"
    fi
}

echo "== the installed program, the base folders at their defaults"
find "$prefix" -printf '%p %s %T@\n' | sort > "$work/before"
start_as_user "$prefix/bin/meridell" "$work/home" "$work/home/.local/share/meridell/project.mdb"
[[ -d "$work/home/.local/state/meridell" ]] || fail "no folder for the drafts under the home"
find "$prefix" -printf '%p %s %T@\n' | sort > "$work/after"
diff "$work/before" "$work/after" || fail "the program wrote under its prefix"

echo "== the staged program moved to another folder, the base folders set"
mv "$work/stage/opt/meridell" "$work/moved"
find "$work/moved" -printf '%p %s %T@\n' | sort > "$work/before"
other="$work/other"
start_as_user "$work/moved/bin/meridell" "$other" "$other/data/meridell/project.mdb" \
    XDG_DATA_HOME="$other/data" XDG_STATE_HOME="$other/state" XDG_CACHE_HOME="$other/cache"
[[ ! -e "$other/.local" ]] || fail "the program wrote under ~/.local although the variables say otherwise"
find "$work/moved" -printf '%p %s %T@\n' | sort > "$work/after"
diff "$work/before" "$work/after" || fail "the program wrote under its prefix"
echo "test-install: the installation, the package and the installed program are as they should be"
