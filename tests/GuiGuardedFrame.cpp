// A slot that throws halfway through its drawing must leave the host's frame as it found it.
#include <stdexcept>

#include <gtest/gtest.h>

#include "gui/DisabledScope.h"
#include "gui/GuardedFrame.h"
#include "gui/ImGuiVersions.h"
#include "imgui.h"
#include "imgui_internal.h"
#include "core/LogLine.h"
#include "sim/game/Host.h"

namespace {

// The item flags pushed and not yet popped: the context's on 1.86, the current window's on 1.75.
int ItemFlagsDepth(const ImGuiContext& g) {
#if IMGUI_VERSION_NUM >= 18600
    return g.ItemFlagsStack.Size;
#else
    return g.CurrentWindow->DC.ItemFlagsStack.Size;
#endif
}

TEST(GuiGuardedFrame, AThrowHalfwayClosesWhatTheSlotOpenedAndLogsOneLine) {
    sim::Host host;
    globalConsoleManager = host.Console();
    ImGuiContext* context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(800, 600);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    for (int frame = 0; frame < 3; ++frame) {
        ImGui::NewFrame();
        ImGuiContext& g = *context;
        const int windows = g.CurrentWindowStack.Size;
        const int itemFlags = ItemFlagsDepth(g);
        const imgui_compat::StyleStacks styles = imgui_compat::StyleStacks::Save(g);
        DrawGuarded("the window", [&] {
            ImGui::Begin("Plugin window");
            ImGui::BeginChild("left");
            ImGui::BeginTabBar("tabs");
            ImGui::PushID("Player_Bot_Zed");
            ImGui::BeginTabItem("Zed");
            DisabledScope faded(true, 0.5f);
            ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(255, 0, 0, 255));
            if (ImGui::BeginPopup("never open")) ImGui::EndPopup();
            throw std::runtime_error("out of luck");
        });
        EXPECT_EQ(g.CurrentWindowStack.Size, windows);
        EXPECT_EQ(g.CurrentTabBar, nullptr);
        EXPECT_EQ(g.CurrentWindow->IDStack.Size, 1);
        EXPECT_EQ(ItemFlagsDepth(g), itemFlags);
        EXPECT_EQ(imgui_compat::StyleStacks::Save(g).styleVars, styles.styleVars);
        EXPECT_EQ(imgui_compat::StyleStacks::Save(g).colors, styles.colors);
        ImGui::Render();
    }
    EXPECT_EQ(host.LogLines().size(), 3u);
    EXPECT_EQ(host.LogLines().front(), "Vistorb: drawing the window failed: out of luck");

    ImGui::DestroyContext(context);
    globalConsoleManager.reset();
}

}  // namespace
