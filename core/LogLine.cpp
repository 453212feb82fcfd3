#include "core/LogLine.h"

std::shared_ptr<CVarManagerWrapper> globalConsoleManager;
