#pragma once
// Files the desktop hands the editor rather than the user choosing them in a
// dialog: paths given at start and files dropped on the window. Each opens
// as the menu command would: a source document (a file that begins as RTF)
// through Open, any other page through HTML import, after the same
// unsaved-changes question and with the same title, state and messages.
// Imported pages are always recoloured: the preference that asks for that is
// off at every start, and a page opened from the desktop should show its tags
// as the editor colours them.

#include <string>

namespace vela {

class SourceDocuments;
class HtmlExportImport;

class GivenFiles {
public:
    GivenFiles(SourceDocuments& documents, HtmlExportImport& htmlFiles);

    /// Opens `path` (absolute, as a file dialog gives it). A file that cannot
    /// be read goes the import way and gets its "cannot open" report.
    void open(const std::string& path);

private:
    SourceDocuments& m_documents;
    HtmlExportImport& m_htmlFiles;
};

} // namespace vela
