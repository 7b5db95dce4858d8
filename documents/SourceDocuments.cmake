# Source documents, the unsaved-changes check, HTML export and import.
add_library(vela_documents STATIC
  DocumentFile.h DocumentFile.cpp
  SourceDocuments.h SourceDocuments.cpp
  HtmlExportImport.h HtmlExportImport.cpp
  GivenFiles.h GivenFiles.cpp)
target_include_directories(vela_documents PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vela_documents PUBLIC vela_core vela_pane vela_rtf vela_services vela_settings vela_errors vela_files
  vela_encoding vela_recovery)
# Taking the undo snapshot is vela_app's (UndoSnapshot); vela_app links this library
# in turn, and CMake repeats the two static libraries on the link line.
target_include_directories(vela_documents PRIVATE ${PROJECT_SOURCE_DIR}/app)
target_link_libraries(vela_documents PRIVATE vela_app)
