#!/usr/bin/env bash
# Files from the desktop: the answers given without a window (--help, --version, a wrong option); a page
# given at start, imported in its encoding and coloured; a missing file reported over the new page; a
# source document given at start under its Save title; files dropped on the window (from a drag source
# standing in for a file manager) after the unsaved-changes question; text dropped stays text.
. "$(dirname "$0")/lib.sh"
DRAG_SOURCE=${DRAG_SOURCE:?DRAG_SOURCE names the drag source program}

# A packaged program's tools ask these anywhere, without a display.
help=$(env -u DISPLAY "$VELA" --help) || fail "--help failed"
grep -q '^使い方: vela ' <<<"$help" || fail "--help does not say how to use it"
[ "$(env -u DISPLAY "$VELA" --version)" = "vela 2.0" ] || fail "--version: $(env -u DISPLAY "$VELA" --version 2>&1)"
rc=0
QT_QPA_PLATFORM=offscreen "$VELA" --bogus "$WORK/x.htm" >"$WORK/out" 2>"$WORK/err" || rc=$?
[ $rc -eq 2 ] || fail "a wrong option ended with status $rc"
[ "$(grep -c 'vela:' "$WORK/err")" -eq 1 ] && grep -q '「--bogus」' "$WORK/err" || fail "no one-line error: $(cat "$WORK/err")"

CAPTION='VELA-VOVUZEZU DOZA RODORA'
printf '<HTML>\r\n<HEAD>\r\n<META charset="UTF-8">\r\n</HEAD>\r\n<BODY>\r\n<P>ようこそ</P>\r\n</BODY>\r\n</HTML>\r\n' \
    >"$WORK/page.htm"
# A source document as another program might have written it: RTF, the text in Shift-JIS.
printf '{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 IPAGothic;}}{\\colortbl;\\red0\\green255\\blue255;}\\f0\\cf1 <P>\\cf0 doc\\cf1 </P>}' \
    >"$WORK/doc.kvd"
printf '{\\rtf1\\ansi other}' >"$WORK/other.kvd"

title_is() { [ "$(LC_ALL=C.UTF-8 xprop -id "$MAIN" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')" = "$1" ]; }

# drag_to X Y ARG...: the drag source carrying the files named (or --text TEXT), dragged to X Y on the
# screen and dropped there. The source stays until drag_done: the editor reads the data after the drop.
DRAG_PID=""
drag_to() {
    local to_x=$1 to_y=$2
    shift 2
    "$DRAG_SOURCE" "$@" >>"$WORK/drag.log" 2>&1 &
    DRAG_PID=$!
    local source x y w h step
    source=$(wait_window '^drag-source$')
    activate "$source"
    read -r x y w h <<<"$(client_geometry "$source")"
    xdotool mousemove $((x + w / 2)) $((y + h / 2))
    sleep 0.2
    xdotool mousedown 1
    sleep 0.3
    for step in 1 2 3 4 5 6; do
        xdotool mousemove $((x + w / 2 + step * 90)) $((y + h / 2 + step * 90))
        sleep 0.15
    done
    xdotool mousemove "$to_x" "$to_y"
    sleep 0.3
    xdotool mouseup 1
    sleep 0.5
}
drag_done() {
    [ -n "$DRAG_PID" ] || return 0
    kill "$DRAG_PID" 2>/dev/null
    wait "$DRAG_PID" 2>/dev/null || true
    DRAG_PID=""
}

# A page opens as HTML import opens it: read as UTF-8 (the status bar says so), its tags coloured, no path
# in the title; nothing changed, so quitting asks nothing.
start_editor "$WORK/page.htm"
shot page
title_is "$CAPTION" || fail "the imported page's title is not the plain caption"
eventually tag_colour_shown || fail "the page's tags are not coloured"
status_bar_inked || fail "the status bar does not tell the encoding read"
eventually grep -q 'cf[1-9]' "$WORK/QOV.tmp" || fail "the undo snapshot does not hold the coloured page"
quit_editor
wait_exit

# A file that is not there: the report, then the new page, as Open leaves it.
start_editor_with answer_report "$WORK/missing.kvd"
title_is "$CAPTION" || fail "the title changed after a failed open"
menu f c
choose_file 'HTMLファイル(*.htm)の作成' "$WORK/template.htm"
expect_bytes "$WORK/template.htm" '<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>'
quit_editor
wait_exit

# A source document opens as Open opens it, with its path in the title.
start_editor "$WORK/doc.kvd"
eventually title_is "$CAPTION - $WORK/doc.kvd" || fail "the source document's title does not name it"
shot source-document
focus_main
keys ctrl+End
type_text "zz"
# Dropped with changes unsaved, on the pane or on the toolbar: the question first. Cancel keeps the
# document, No lets the drop open it.
drag_to 640 600 "$WORK/other.kvd"
answer_question Cancel
drag_done
title_is "$CAPTION - $WORK/doc.kvd" || fail "Cancel did not keep the document"
drag_to 900 60 "$WORK/other.kvd"
answer_question No
drag_done
eventually title_is "$CAPTION - $WORK/other.kvd" || fail "the dropped source document did not open"
shot dropped
# Text dropped on the pane is text, as before.
drag_to 640 600 --text "dropped words"
drag_done
menu f c
choose_file 'HTMLファイル(*.htm)の作成' "$WORK/other.htm"
eventually grep -q 'dropped words' "$WORK/other.htm" || fail "dropped text did not enter the page"
grep -q 'other' "$WORK/other.htm" || fail "the dropped document is not in the page"
quit_editor
answer_question No
wait_exit
echo PASS
