#include "GivenFiles.h"

#include "HtmlExportImport.h"
#include "Rtf.h"
#include "SourceDocuments.h"

#include <filesystem>
#include <fstream>

namespace vela {
namespace {

/// True when the file can be read and begins as an RTF group.
bool isSourceDocument(const std::string& path) {
    std::error_code error;
    // A fifo or device is no document, and peeking into one could block.
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream file(path, std::ios::binary);
    char head[8] = {};
    file.read(head, sizeof head);
    return rtf::looksLikeRtf(std::string_view(head, std::size_t(file.gcount())));
}

} // namespace

GivenFiles::GivenFiles(SourceDocuments& documents, HtmlExportImport& htmlFiles)
    : m_documents(documents), m_htmlFiles(htmlFiles) {}

void GivenFiles::open(const std::string& path) {
    if (!m_documents.unsavedChangesCheck()) return;
    if (isSourceDocument(path))
        m_documents.openChosen(path);
    else
        m_htmlFiles.importChosen(path, HtmlExportImport::Refresh::Always);
}

} // namespace vela
