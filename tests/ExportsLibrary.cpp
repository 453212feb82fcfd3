// The built plugin library as the host sees it: its description record read back byte by byte
// through the host's loader calls, the two functions behind it, and the symbols it shows the world.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "sim/loader/PlatformLibrary.h"

namespace {

using PluginHandle = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

class ExportsLibrary : public ::testing::Test {
protected:
    void* library = nullptr;
    uintptr_t (*getPlugin)() = nullptr;
    void (*deleteMe)() = nullptr;

    void SetUp() override {
        std::string error;
        library = sim::OpenLibrary(VISTORB_PLUGIN_PATH, error);
        ASSERT_NE(library, nullptr) << error;
        getPlugin = reinterpret_cast<uintptr_t (*)()>(sim::LibrarySymbol(library, "getPlugin"));
        deleteMe = reinterpret_cast<void (*)()>(sim::LibrarySymbol(library, "deleteMe"));
        ASSERT_NE(getPlugin, nullptr);
        ASSERT_NE(deleteMe, nullptr);
        deleteMe();  // whatever an earlier test left behind
    }

    void TearDown() override {
        if (deleteMe) deleteMe();
        sim::CloseLibrary(library);
    }

    const unsigned char* Record() { return static_cast<const unsigned char*>(sim::LibrarySymbol(library, "exports")); }

    template <typename T>
    T At(size_t offset) {
        T value;
        std::memcpy(&value, Record() + offset, sizeof value);
        return value;
    }

    PluginHandle HandleAt(uintptr_t address) { return *reinterpret_cast<const PluginHandle*>(address); }
};

TEST_F(ExportsLibrary, RecordReadsBackByteForByte) {
    ASSERT_NE(Record(), nullptr);
    EXPECT_EQ(At<int32_t>(0), 95);
    EXPECT_EQ(At<uint32_t>(4), 0u) << "padding after the API build";
    const char* fileName = At<const char*>(8);
    ASSERT_NE(fileName, nullptr);
    EXPECT_GT(std::strlen(fileName), 0u);
    EXPECT_STREQ(At<const char*>(16), "Vistorb");
    EXPECT_STREQ(At<const char*>(24), "Vistorb: per-player replay cameras");
    EXPECT_STREQ(At<const char*>(32), VISTORB_VERSION);
    EXPECT_EQ(At<uint32_t>(40), 1u);
    EXPECT_EQ(At<uint32_t>(44), 0u) << "padding after the plugin type";
    EXPECT_EQ(At<void*>(48), reinterpret_cast<void*>(getPlugin));
    EXPECT_EQ(At<void*>(56), reinterpret_cast<void*>(deleteMe));
}

TEST_F(ExportsLibrary, GetPluginTwiceGivesOneObjectAndDeleteMeReleasesOnlyTheLibrarysHandle) {
    deleteMe();  // before any getPlugin: nothing to release, nothing breaks

    uintptr_t first = getPlugin();
    uintptr_t second = getPlugin();
    ASSERT_NE(first, 0u);
    EXPECT_EQ(first, second);
    PluginHandle host = HandleAt(first);
    ASSERT_TRUE(host);
    EXPECT_EQ(host.get(), HandleAt(second).get());
    EXPECT_EQ(host.use_count(), 2) << "the library's handle and the host's copy";

    deleteMe();
    EXPECT_FALSE(HandleAt(first)) << "deleteMe empties the library's handle";
    EXPECT_EQ(host.use_count(), 1) << "the host's copy keeps the object alive";
    std::weak_ptr<BakkesMod::Plugin::BakkesModPlugin> watch = host;

    PluginHandle fresh = HandleAt(getPlugin());
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh.get(), host.get()) << "after deleteMe, getPlugin makes a new object";

    host.reset();
    EXPECT_TRUE(watch.expired()) << "the old object goes with the last handle";
    deleteMe();
    deleteMe();  // twice in a row: the second finds nothing
    EXPECT_EQ(fresh.use_count(), 1);
}

#if defined(_WIN32)
// The names in a library's export table, read from its PE headers as the loader reads them.
std::set<std::string> ExportedNames(const char* path) {
    std::set<std::string> names;
    std::string error;
    void* library = sim::OpenLibrary(path, error);
    EXPECT_NE(library, nullptr) << error;
    if (!library) return names;
    const auto* base = static_cast<const unsigned char*>(library);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.Size != 0) {
        const auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
        const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + table->AddressOfNames);
        for (DWORD i = 0; i < table->NumberOfNames; ++i)
            names.insert(reinterpret_cast<const char*>(base + nameOffsets[i]));
    }
    sim::CloseLibrary(library);
    return names;
}

// Whether the library file holds the text at all (its symbol table names every function).
bool FileHolds(const char* path, const std::string& text) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << path;
    return bytes.find(text) != std::string::npos;
}
#else
// The names `nm` lists for a library, with its options (for example "-D --defined-only").
std::set<std::string> SymbolNames(const std::string& options, const char* library) {
    std::string command = "nm " + options + " '" + library + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    if (!pipe) return {};
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << output;

    // Undefined symbols have no address: take the last word of every line.
    std::set<std::string> names;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t space = line.find_last_of(' ');
        if (space != std::string::npos) names.insert(line.substr(space + 1));
    }
    return names;
}

std::set<std::string> ExportedNames(const char* library) { return SymbolNames("-D --defined-only", library); }
#endif

// What the library exports (`nm -D --defined-only`; on Windows its PE export table): the
// host-facing names, the SDK's exported plugin classes, and on Linux the standard library's own
// instantiations (its headers give them default visibility). Nothing of ImGui and nothing of the
// plugin's own code; the testing library adds its diagnostic function and nothing else.
TEST(ExportsSymbols, OnlyHostFacingSymbolsAreVisible) {
    for (const char* library : {VISTORB_PLUGIN_PATH, VISTORB_TESTING_PLUGIN_PATH}) {
        SCOPED_TRACE(library);
        const bool testing = std::string(library) == VISTORB_TESTING_PLUGIN_PATH;
        const std::set<std::string> names = ExportedNames(library);

        EXPECT_TRUE(names.count("exports"));
        EXPECT_TRUE(names.count("getPlugin"));
        EXPECT_TRUE(names.count("deleteMe"));
        EXPECT_TRUE(names.count("_ZN9BakkesMod6Plugin15BakkesModPlugin6onLoadEv"));
        EXPECT_TRUE(names.count("_ZN9BakkesMod6Plugin15BakkesModPlugin8onUnloadEv"));
        EXPECT_TRUE(names.count("_ZTVN9BakkesMod6Plugin15BakkesModPluginE")) << "the base's virtual table";
        EXPECT_TRUE(names.count("_ZN9BakkesMod6Plugin15BakkesModPluginC1ERKS1_")) << "copy constructor";
        EXPECT_TRUE(names.count("_ZN9BakkesMod6Plugin15BakkesModPluginaSEOS1_")) << "move assignment";
        EXPECT_EQ(names.count("VistorbDiagnosticState"), testing ? 1u : 0u);

        for (const std::string& symbol : names) {
            bool hostFacing = symbol == "exports" || symbol == "getPlugin" || symbol == "deleteMe" ||
                              symbol.find("N9BakkesMod6Plugin") != std::string::npos;
            bool diagnostic = testing && symbol == "VistorbDiagnosticState";
            // AddressSanitizer marks every exported global with a companion of its own.
            bool sanitizer = symbol.rfind("__odr_asan", 0) == 0;
            EXPECT_TRUE(hostFacing || diagnostic || sanitizer) << "unexpected exported symbol " << symbol;
            EXPECT_EQ(symbol.find("ImGui"), std::string::npos) << symbol;
            EXPECT_EQ(symbol.find("GImGui"), std::string::npos) << symbol;
            if (!diagnostic) {
                EXPECT_EQ(symbol.find("Vistorb"), std::string::npos) << symbol;
            }
#if defined(_WIN32)
            // Interfaces match across modules by their names there: only the plugin base is exported.
            EXPECT_TRUE(!hostFacing || symbol.find("N9BakkesMod6Plugin") == std::string::npos ||
                        symbol.find("N9BakkesMod6Plugin15BakkesModPlugin") != std::string::npos)
                << symbol;
#endif
        }
    }
}

// A real host may keep something else in the context's test-engine slot: the released library
// must not even contain the item hooks, while the testing library must, or its widgets could
// not be found by label.
TEST(ExportsSymbols, OnlyTheTestingLibraryCarriesTheItemHooks) {
    auto hasHooks = [](const char* library) {
#if defined(_WIN32)
        return FileHolds(library, "ImGuiTestEngineHook");
#else
        for (const std::string& symbol : SymbolNames("", library))
            if (symbol.find("ImGuiTestEngineHook") != std::string::npos) return true;
        return false;
#endif
    };
    EXPECT_FALSE(hasHooks(VISTORB_PLUGIN_PATH));
    EXPECT_TRUE(hasHooks(VISTORB_TESTING_PLUGIN_PATH));
}

// The preset store's test moments can be set only in the tests' build of its layer: neither
// library may carry them. The store's call to its (empty) moments shows the symbols are there to see.
TEST(ExportsSymbols, NeitherLibraryCarriesThePresetStoresTestMoments) {
    auto holds = [](const char* library, const std::string& text) {
#if defined(_WIN32)
        return FileHolds(library, text);
#else
        for (const std::string& symbol : SymbolNames("", library))
            if (symbol.find(text) != std::string::npos) return true;
        return false;
#endif
    };
    for (const char* library : {VISTORB_PLUGIN_PATH, VISTORB_TESTING_PLUGIN_PATH}) {
        SCOPED_TRACE(library);
        EXPECT_TRUE(holds(library, "preset_seams"));
        EXPECT_FALSE(holds(library, "PresetStoreTesting"));
    }
}

}  // namespace
