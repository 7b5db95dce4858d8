#!/usr/bin/env bash
# Undo after several typed lines goes back to the moment Enter was last pressed, caret included.
. "$(dirname "$0")/lib.sh"

start_editor
caret_to_head_line
type_text '<TITLE>一行目'
keys Return
type_text '二行目</TITLE>'
keys Return
type_text '三行目は消える'
shot typed
menu e u
shot undone
# Typing now shows where the caret came back to: the end of the second line.
# Two characters off the keyboard map in a row: each a remap for xdotool, at a pace the server keeps up with.
type_text 'ｶﾅ' 200
menu f c
choose_file 'HTMLファイル(*.htm)の作成' "$WORK/undo.htm"
expect_cp932 "$WORK/undo.htm" \
    '<HTML>\r\n<HEAD>\r\n<TITLE>一行目\r\n二行目</TITLE>ｶﾅ\r\n</HEAD>\r\n\r\n</HTML>'
echo PASS
