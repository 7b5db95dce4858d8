#include "DocumentFile.h"

#include "FileReplace.h"
#include "Pane.h"
#include "Rtf.h"

namespace vela {

void writeSourceDocument(const Pane& pane, const std::string& path) { files::writeFileOrThrow(path, rtf::write(pane.runs())); }

encoding::WrittenPage writePlainText(const Pane& pane, const std::string& path) {
    encoding::WrittenPage page = encoding::writePage(pane.text());
    files::writeFileOrThrow(path, page.bytes);
    return page;
}

} // namespace vela
