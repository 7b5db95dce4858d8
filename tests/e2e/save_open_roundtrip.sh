#!/usr/bin/env bash
# Japanese and ASCII typed, made bold from the Tag menu, two dialogs dismissed (inserting nothing), saved as
# a source document, the unsaved-changes question on quitting, and the document opened again after a restart
# exports the same text. Unsaved work of an editor that was killed comes back at the next start, colours included.
. "$(dirname "$0")/lib.sh"

LINE='日本語とtext ｶﾅ'
BOLD_PAGE="<HTML>\r\n<HEAD>\r\n<B>$LINE</B>\r\n</HEAD>\r\n\r\n</HTML>"

start_editor
caret_to_head_line
type_text "$LINE"
keys shift+Home
menu t a b
shot bold
# The heading dialog's close box is its Cancel: not the bold pair the previous command left.
keys End
menu t h
heading=$(wait_titled '見出し')
shot heading
expect_frame "$heading" close
close_by_frame "$heading"
# A dialog without a close box: the window manager's close leaves it, Esc is its Cancel.
menu t l o
list=$(wait_titled '番号順リスト範囲の設定')
shot ordered-list
expect_frame "$list" none
keys Escape
wait_closed "$list"
menu f a
choose_file '名前を付けて保存' "$WORK/page"
eventually settled "$WORK/page.kvd" || fail "Save As did not add the .kvd extension"
expect_title "$MAIN" "VELA-VOVUZEZU DOZA RODORA - $WORK/page.kvd"
head -c 5 "$WORK/page.kvd" | grep -q '^{\\rtf' || fail "page.kvd is not RTF"
cp "$WORK/page.kvd" "$WORK/saved.kvd"

# An edit after saving: Cancel keeps the editor running, No quits without saving it.
focus_main
keys End
type_text "zzz"
quit_editor
answer_question Cancel
kill -0 "$APP_PID" || fail "Cancel closed the editor"
# A refused close keeps the undo snapshot, so Undo still works afterwards.
[ -f "$WORK/QOV.tmp" ] || fail "a refused close deleted the undo snapshot"
quit_editor
answer_question No
wait_exit
cmp -s "$WORK/page.kvd" "$WORK/saved.kvd" || fail "No saved the document"

start_editor
menu f o
choose_file 'ソースファイル(*.kvd)を開く' "$WORK/page.kvd"
shot opened
menu f c
choose_file 'HTMLファイル(*.htm)の作成' "$WORK/page.htm"
expect_cp932 "$WORK/page.htm" "$BOLD_PAGE"

# Yes goes through Save As with an empty name; the new file holds the edit.
focus_main
keys ctrl+End
type_text "yyy"
quit_editor
answer_question Yes
choose_file '名前を付けて保存' "$WORK/second.kvd"
wait_exit
grep -q 'yyy' "$WORK/second.kvd" || fail "Yes did not save the edit"
cmp -s "$WORK/page.kvd" "$WORK/saved.kvd" || fail "Yes wrote over the opened document"
[ -z "$(ls "$XDG_STATE_HOME"/vela/*.kvr 2>/dev/null)" ] || fail "a normal end left a recovery copy"

# Typed, made bold, then the editor is killed a moment after typing stopped: nothing was saved.
start_editor
caret_to_head_line
type_text "lost work"
keys shift+Home
menu t a b
sleep 3
shot before-kill
kill_editor
ls "$XDG_STATE_HOME"/vela/*.kvr >/dev/null 2>&1 || fail "no recovery copy after typing paused"
start_editor_answering Yes
shot recovered
# Saved under a name, the work is there with its coloured tags, and the copy has gone.
menu f a
choose_file '名前を付けて保存' "$WORK/recovered.kvd"
eventually settled "$WORK/recovered.kvd" || fail "the recovered document was not saved"
grep -q 'lost work' "$WORK/recovered.kvd" || fail "the typed text did not come back"
grep -q '\\red0\\green255\\blue255' "$WORK/recovered.kvd" || fail "no cyan in the colour table"
grep -Eq '\\cf[1-9][0-9]*( |\\[a-z0-9]+ ?)*<B>' "$WORK/recovered.kvd" || fail "the tags lost their colour"
eventually absent "$(ls "$XDG_STATE_HOME"/vela/*.kvr 2>/dev/null | head -1)" || fail "saving kept the recovery copy"
quit_editor
wait_exit
echo PASS
