#include <io.h>
#include <stdio.h>

#include "platform/terminal.h"

namespace vitrine {

bool ErrorOutputIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace vitrine
