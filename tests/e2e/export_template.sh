#!/usr/bin/env bash
# A fresh start exports the new-document template as it stands. On the way, what the window manager
# shows: the status bar on the screen, and the About box's title and frame.
. "$(dirname "$0")/lib.sh"

start_editor
status_bar_inked && fail "the status bar shows text before anything wrote it"
# Opening the option menu writes "オプション" into the status bar.
menu o
keys Escape Escape
eventually status_bar_inked || fail "the status bar's text is not on the screen"

menu h a
about=$(wait_titled 'バージョン情報')
shot about
expect_frame "$about" close
close_by_frame "$about"

menu f c
choose_file 'HTMLファイル(*.htm)の作成' "$WORK/page.htm"
shot exported
expect_bytes "$WORK/page.htm" '<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>'
[ -f "$WORK/QOV.tmp" ] || fail "no undo snapshot after start"

# Exporting leaves the document unmodified, so the editor quits without a question.
quit_editor
wait_exit
[ -e "$WORK/QOV.tmp" ] && fail "the undo snapshot outlived the editor"
echo PASS
