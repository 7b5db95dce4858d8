#!/usr/bin/env bash
# Preferences: the auto-refresh box ticked and OK, the switches in MARVOK.INI; an .htm imported with
# its tags recoloured, exported back over itself unchanged.
. "$(dirname "$0")/lib.sh"

PAGE='<HTML>\r\n<BODY>\r\n<P>こんにちは、ｶﾀｶﾅとソ表</P>\r\n</BODY>\r\n</HTML>\r\n'
printf "$PAGE" | iconv -f UTF-8 -t CP932 >"$WORK/in.htm"
cp "$WORK/in.htm" "$WORK/original.htm"

start_editor
menu o s
prefs=$(wait_titled '環境設定')
expect_frame "$prefs" close
# Tab order: line-break box, file-name box, OK, Cancel, auto-refresh box.
keys Tab Tab Tab Tab space
shot preferences
keys shift+Tab shift+Tab space
wait_closed "$prefs"
expect_bytes "$WORK/MARVOK.INI" '[SW]\r\nSTI1=0\r\nSTI2=1\r\nSTI3=0\r\n'

menu f h
choose_file 'HTMLファイル(*.htm)の読み込み' "$WORK/in.htm"
shot imported
# The snapshot taken after the import holds the recoloured page: the tags carry a colour of their own.
eventually grep -q 'cf[1-9]' "$WORK/QOV.tmp" || fail "the imported tags were not recoloured"

# Export proposes the imported file; the overwrite question answered Yes writes the pane's text back.
menu f c
dialog=$(wait_titled 'HTMLファイル(*.htm)の作成')
activate "$dialog"
xdotool key Return
wait_closed "$dialog"
overwrite=$(wait_window '.' 5)
echo "overwrite question: $(xdotool getwindowname "$overwrite")"
shot overwrite
activate "$overwrite"
xdotool key Return
wait_closed "$overwrite"
expect_cp932 "$WORK/in.htm" "$PAGE"

# Neither the import nor the refresh counts as a change: quitting asks nothing.
quit_editor
wait_exit
echo PASS
