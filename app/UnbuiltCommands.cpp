#include "UnbuiltCommands.h"

namespace vela {

CommandTable unbuiltCommands() {
    CommandTable t;
    t.menu = {
    };
    t.buttons = {
    };
    return t;
}

} // namespace vela
