#include "DocumentFile.h"

#include "FileReplace.h"
#include "Pane.h"
#include "Rtf.h"

namespace vela {

void writeSourceDocument(const Pane& pane, const std::string& path) { files::writeFileOrThrow(path, rtf::write(pane.runs())); }

void writePlainText(const Pane& pane, const std::string& path) { files::writeFileOrThrow(path, pane.text()); }

} // namespace vela
