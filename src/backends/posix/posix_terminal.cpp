#include <unistd.h>

#include "platform/terminal.h"

namespace vitrine {

bool ErrorOutputIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace vitrine
