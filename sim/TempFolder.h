#pragma once
// A new, empty folder of a unique name in the system's temporary folder, made for one user of
// it (mkdtemp on Linux). Throws std::filesystem::filesystem_error when none can be made.
#include <filesystem>
#include <string>

namespace sim {

std::filesystem::path MakeTempFolder(const std::string& prefix);

}  // namespace sim
