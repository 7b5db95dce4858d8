#pragma once
// Edit boxes whose text goes into the document: they take only characters
// that code page 932 can hold, and hand their text over as CP932 bytes.

#include <string>

class QLineEdit;

namespace vela {

/// Makes the box refuse characters CP932 cannot hold: typing, pasting or
/// dropping one leaves the box unchanged.
void acceptOnlyCp932(QLineEdit& edit);

/// The box's text as CP932 bytes.
std::string cp932TextOf(const QLineEdit& edit);

} // namespace vela
