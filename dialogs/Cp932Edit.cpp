#include "Cp932Edit.h"

#include "Cp932.h"
#include "InputPrompt.h"

#include <QLineEdit>

namespace vela {

void acceptOnlyCp932(QLineEdit& edit) { edit.setValidator(new Cp932Validator(&edit)); }

std::string cp932TextOf(const QLineEdit& edit) { return cp932::fromUtf8(edit.text().toStdString()); }

} // namespace vela
