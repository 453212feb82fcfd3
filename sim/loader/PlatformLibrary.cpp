#include "sim/loader/PlatformLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <filesystem>

namespace sim {

#if defined(_WIN32)

namespace {

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

}  // namespace

void* OpenLibrary(const std::string& path, std::string& error) {
    // A UTF-8 path may hold any character; the wide form is the one Windows reads as it is.
    std::wstring wide = std::filesystem::u8path(path).make_preferred().wstring();
    HMODULE module = LoadLibraryW(wide.c_str());
    if (!module) error = SystemMessage(GetLastError());
    return reinterpret_cast<void*>(module);
}

void* LibrarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
    if (library) FreeLibrary(static_cast<HMODULE>(library));
}

#else

void* OpenLibrary(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* text = dlerror();
        error = text ? text : "unknown error";
    }
    return library;
}

void* LibrarySymbol(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) {
    if (library) dlclose(library);
}

#endif

}  // namespace sim
