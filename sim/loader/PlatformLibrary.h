#pragma once
// Opening a plugin library, finding a name in it and closing it: dlopen and friends on Linux,
// LoadLibraryW, GetProcAddress and FreeLibrary on Windows. A library is an opaque pointer here.
#include <string>

namespace sim {

// The library at `path` (UTF-8), with every reference resolved now; nullptr with the system's
// reason in `error` when it cannot be opened.
void* OpenLibrary(const std::string& path, std::string& error);
// The address of an exported name, or nullptr when the library does not export it.
void* LibrarySymbol(void* library, const char* name);
void CloseLibrary(void* library);

}  // namespace sim
