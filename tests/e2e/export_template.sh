#!/usr/bin/env bash
# A fresh start exports the new-document template as it stands.
. "$(dirname "$0")/lib.sh"

start_editor
menu f c
choose_file 'HTMLファイル.*の作成' "$WORK/page.htm"
shot exported
expect_bytes "$WORK/page.htm" '<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>'
[ -f "$WORK/QOV.tmp" ] || fail "no undo snapshot after start"

# Exporting leaves the document unmodified, so the editor quits without a question.
quit_editor
wait_exit
[ -e "$WORK/QOV.tmp" ] && fail "the undo snapshot outlived the editor"
echo PASS
