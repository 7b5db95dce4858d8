#pragma once
// Edit boxes whose text goes into the document: what code page 932 cannot
// hold enters them as references, and they hand their text over as CP932 bytes.

#include <string>

class QLineEdit;

namespace vela {

/// Makes characters CP932 cannot hold enter the box as references ("&#xE9;"),
/// whether typed, pasted or dropped.
void enterAsCp932(QLineEdit& edit);

/// The box's text as CP932 bytes.
std::string cp932TextOf(const QLineEdit& edit);

} // namespace vela
