#!/usr/bin/env bash
# The Debian package as a user gets it, on the machine it runs on (root; .ci/run calls it): installed with
# apt, known to the desktop (menu entry, file types, icon, manual page), /usr/bin/vela started on a page
# under Xvfb with the page shown, then removed with --purge, leaving no file of the package behind.
set -euo pipefail
DEB=$(realpath "${1:?usage: installed_package.sh PACKAGE.deb [ARTIFACT_DIR]}")
ARTIFACT_DIR=$(realpath -m "${2:-/tmp}")
HERE=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

[ ! -e /usr/bin/vela ] || fail "/usr/bin/vela is there before the package is installed"
mapfile -t FILES < <(dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$')
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "$DEB" >/dev/null

set +e
(
    set -e
    [ -x /usr/bin/vela ] || fail "no /usr/bin/vela"
    [ "$(/usr/bin/vela --version)" = "vela 2.0" ] || fail "vela --version"
    man -w vela | grep -q '^/usr/share/man/man1/vela.1.gz$' || fail "no manual page"
    [ "$(xdg-mime query default application/x-vela-source)" = vela.desktop ] ||
        fail "source documents open with '$(xdg-mime query default application/x-vela-source)'"
    grep -q '^text/html=.*vela\.desktop' /usr/share/applications/mimeinfo.cache || fail "not offered for text/html"
    grep -q '^application/x-vela-source=.*vela\.desktop' /usr/share/applications/mimeinfo.cache ||
        fail "not offered for source documents"
    grep -qx '50:application/x-vela-source:\*\.kvd' /usr/share/mime/globs2 || fail "the .kvd file type is not known"
    for size in 16 22 24 32 48 64 128 256; do
        [ -f /usr/share/icons/hicolor/${size}x${size}/apps/vela.png ] || fail "no ${size}px icon"
    done

    # A page as the file manager would hand it: shown coloured under a plain title, from any folder.
    set -- /usr/bin/vela "$ARTIFACT_DIR"
    . "$HERE/lib.sh"
    printf '<HTML>\r\n<BODY>\r\n<P>インストール</P>\r\n</BODY>\r\n</HTML>\r\n' | iconv -f UTF-8 -t CP932 >"$WORK/page.htm"
    start_editor "$WORK/page.htm"
    shot page
    expect_title "$MAIN" 'VELA-VOVUZEZU DOZA RODORA'
    eventually tag_colour_shown || fail "the page is not shown with its tags coloured"
    quit_editor
    wait_exit
    echo "installed program: PASS"
)
checked=$?
set -e

apt-get remove --purge -y -q vela >/dev/null
left=()
for file in "${FILES[@]}"; do [ ! -e "$file" ] || left+=("$file"); done
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
! dpkg-query -W -f='${Status}' vela 2>/dev/null | grep -q installed || fail "vela still known to dpkg"
! grep -q 'vela\.desktop' /usr/share/applications/mimeinfo.cache || fail "the file types still name vela"
! grep -q 'x-vela-source' /usr/share/mime/globs2 || fail "the .kvd file type is still known"
[ $checked -eq 0 ] || fail "the installed program did not pass"
echo PASS
