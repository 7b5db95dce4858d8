# The colour, size and text layout dialogs.
target_sources(vela_dialogs PRIVATE
  ClickPanel.h ClickPanel.cpp
  ColourPalette.h ColourPalette.cpp
  DialogLook.h DialogLook.cpp
  TTabbedNotebookDlg.h TTabbedNotebookDlg.cpp
  TForm11.h TForm11.cpp
  TForm4.h TForm4.cpp
  TForm5.h TForm5.cpp
  TForm9.h TForm9.cpp
  TForm15.h TForm15.cpp
  TForm14.h TForm14.cpp)
# The image wrap dialog's picture; TForm15 registers it (Q_INIT_RESOURCE).
qt_add_resources(vela_dialog_pictures DialogPictures.qrc)
target_sources(vela_dialogs PRIVATE ${vela_dialog_pictures})
