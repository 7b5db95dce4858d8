#include "Cp932Edit.h"

#include "Cp932.h"
#include "InputPrompt.h"

#include <QLineEdit>

namespace vela {

void enterAsCp932(QLineEdit& edit) { edit.setValidator(new Cp932Validator(&edit)); }

std::string cp932TextOf(const QLineEdit& edit) {
    return cp932::encode(edit.text().toStdU16String(), cp932::Unencodable::Reference).bytes;
}

} // namespace vela
