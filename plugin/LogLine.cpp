#include "plugin/LogLine.h"

std::shared_ptr<CVarManagerWrapper> globalConsoleManager;
