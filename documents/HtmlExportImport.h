#pragma once
// Export of the pane's text as a plain HTML file and import of an HTML file
// as a new document without a source file. Owns SaveDialog2, whose file name
// is the export target it proposes (the last export or the last import).

#include "CommandTable.h"
#include "EditorHost.h"
#include "EditorState.h"
#include "Services.h"

namespace vela {

class Pane;
class SourceDocuments;

class HtmlExportImport {
public:
    HtmlExportImport(EditorState& state, EditorHost& host, Pane& pane, Services& services,
                     SourceDocuments& documents);

    /// HTML1 and HTM1 with their toolbar twins SpeedButton31 and SpeedButton32.
    CommandTable commands();

    void HTML1Click(); ///< export the pane's text as an HTML file
    void HTM1Click();  ///< import an HTML file
    /// Whether import recolours the page's tags: as the preference says, or always.
    enum class Refresh { AsPreferred, Always };
    /// Import after the question and the dialog: loads `path` as a document
    /// without a source file. Also how other pages given at start or dropped
    /// open, there always recoloured: the preference is off at every start.
    void importChosen(const std::string& path, Refresh refresh = Refresh::AsPreferred);

    FileDialog& SaveDialog2() { return m_saveDialog2; } ///< save dialog of export

private:
    EditorState& m_state;
    EditorHost& m_host;
    Pane& m_pane;
    Services& m_services;
    SourceDocuments& m_documents;
    FileDialog m_saveDialog2;
};

} // namespace vela
