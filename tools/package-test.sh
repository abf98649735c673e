#!/usr/bin/env bash
# Makes the Debian package of an already built tree, unpacks it into a scratch root and starts the program from
# there on a virtual screen with an empty home, as on an installer's machine after `apt install ./kov_*.deb`: the
# main window must come up and the per-user data folder must hold the shipped files. Then an upgrade is played
# (changed shipped files, a database the person edited) and the program started again.
#   tools/package-test.sh <build folder>
set -euo pipefail
build=$(cd "${1:?usage: package-test.sh <build folder>}" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate update-desktop-database appstreamcli \
    update-mime-database gio xvfb-run xwininfo python3; do
    command -v "$tool" >/dev/null || { echo "package-test.sh: $tool is missing (tools/install-deps.sh)" >&2; exit 1; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package-test.sh: $*" >&2; exit 1; }
(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$scratch"/package/kov_*.deb)

depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{print $1}')
for need in fonts-liberation2 qt6-qpa-plugins libqt6widgets6 libqt6gui6 libc6; do
    grep -qx "$need" <<<"$depends" || fail "Depends lacks $need: $(dpkg-deb -f "$deb" Depends)"
done
[ "$(dpkg-deb -f "$deb" Package)" = kov ] || fail "the package is not named kov"

root=$scratch/root
dpkg -x "$deb" "$root"
shipped=$root/usr/share/kov
for f in usr/bin/kov usr/libexec/kov/kov_workbook_reader usr/share/applications/kov.desktop usr/share/icons/hicolor/256x256/apps/kov.png \
    usr/share/kov/KOVSPEC.DAT usr/share/kov/DIRFILE.DAT usr/share/kov/KOV.XLS usr/share/kov/KOVMan.pdf \
    usr/share/kov/pellar.jpg usr/share/kov/Corvexlogonew.jpg; do
    [ -f "$root/$f" ] || fail "the package lacks /$f"
done
# The program reads every workbook through its reader; the installed one must run on its own libraries.
[ "$("$root/usr/libexec/kov/kov_workbook_reader" 1 9 26 2 11 "$root/usr/share/kov/KOV.XLS" | head -c 6)" = KOVWB1 ] ||
    fail "the installed workbook reader does not read the shipped data sheet"
desktop-file-validate "$root/usr/share/applications/kov.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.c_seed_19ce12e3.KOV.metainfo.xml" >"$scratch/appstream.log" ||
    { cat "$scratch/appstream.log" >&2; fail "the AppStream metainfo does not validate"; }
python3 - "$root/usr/share/icons/hicolor/256x256/apps/kov.png" <<'PY' || fail "the icon is not a 256x256 PNG"
import struct, sys
head = open(sys.argv[1], 'rb').read(24)
sys.exit(0 if head[:8] == b'\x89PNG\r\n\x1a\n' and struct.unpack('>II', head[16:24]) == (256, 256) else 1)
PY

home=$scratch/home
mkdir -p "$home"
# The program started as the menu entry starts it, in a session of its own that ends with this script:
#   start.sh LOG TITLE COMMAND...   waits for a window titled TITLE. A command that hands the start on (gio open)
#                                   may end at once; the program it started is found by its command line.
cat >"$scratch/start.sh" <<'SH'
#!/usr/bin/env bash
set -u
log=$1 title=$2
shift 2
"$@" >"$log" 2>&1 &
pid=$!
# The program, however it was started, is the kov of this session's home.
stop() {
    local p
    kill "$pid" 2>/dev/null
    for p in $(pgrep -x kov); do
        { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF "HOME=$HOME" && kill "$p"
    done
    wait "$pid" 2>/dev/null
}
for _ in $(seq 1 150); do
    if xwininfo -root -tree | grep -qF "\"$title\""; then
        stop
        exit 0
    fi
    sleep 0.2
done
stop
echo "no window \"$title\" within 30 seconds" >&2
exit 1
SH
chmod +x "$scratch/start.sh"
start() {
    local why=$1 title=$2
    shift 2
    env -i PATH="$root/usr/bin:$PATH" HOME="$home" XDG_DATA_DIRS="$root/usr/share:/usr/share" QT_QPA_PLATFORM=xcb \
        LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 1600x1000x24" "$scratch/start.sh" "$scratch/kov.log" "$title" "$@" ||
        { cat "$scratch/kov.log" >&2; fail "the installed program did not start$why"; }
}
start "" "Project File Name: None" "$root/usr/bin/kov"

data=$home/.local/share/KOV
for f in "$shipped"/*; do
    cmp -s "$f" "$data/$(basename "$f")" || fail "$(basename "$f") was not copied whole into $data"
done
[ -s "$data/.kov-shipped" ] || fail "$data has no list of the copies it was given"
[ "$(find "$data" -mindepth 1 ! -name .kov-shipped | wc -l)" -eq "$(find "$shipped" -mindepth 1 | wc -l)" ] || fail "$data holds files nobody shipped"

# An upgrade: a new manual and a new database are shipped; the person had edited their database.
sed -i 's/"Open plan with panels"/"Harbour House 3rd floor"/' "$data/KOVSPEC.DAT"
sed -i 's/"Background"/"Background noise"/' "$shipped/KOVSPEC.DAT"
printf '\n%% second edition\n' >>"$shipped/Mask.pdf"
start " after the upgrade" "Project File Name: None" "$root/usr/bin/kov"
cmp -s "$shipped/Mask.pdf" "$data/Mask.pdf" || fail "the upgrade did not bring the new Mask.pdf"
grep -q '"Harbour House 3rd floor"' "$data/KOVSPEC.DAT" && grep -q '"Background",' "$data/KOVSPEC.DAT" ||
    fail "the upgrade changed the person's database"
# A project file double-clicked in a file manager: its type is the package's, and the desktop opens it in KOV.
# What the package's triggers do on a real system.
update-mime-database "$root/usr/share/mime" >/dev/null 2>&1
update-desktop-database "$root/usr/share/applications"
project=$scratch/JOB.MSK
cp "$(dirname "$0")/../tests/fixtures/golden/HANDBUILT.MSK" "$project"
type=$(XDG_DATA_DIRS="$root/usr/share:/usr/share" gio info -a standard::content-type "$project" | awk '/content-type/ {print $2}')
[ "$type" = application/x-kov-project ] || fail "a .MSK file is of type '$type', not the package's project type"
start " from a double-clicked project" "Project File Name: $project" gio open "$project"
start " with a project named" "Project File Name: $project" "$root/usr/bin/kov" "$project"
echo "The package $(basename "$deb") installs, starts from a scratch root, fills the per-user folder ~/.local/share/KOV"
echo "and, after an upgrade, refreshes the copies nobody changed; a double-clicked project opens in it."
