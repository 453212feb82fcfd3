#include "gui/TextField.h"

namespace {

// ImGui asks for a bigger buffer through this callback; the string grows and hands its storage
// back. (Only the resize is asked for: the field takes no other callback.)
int GrowString(ImGuiInputTextCallbackData* data) {
    if (data->EventFlag != ImGuiInputTextFlags_CallbackResize) return 0;
    auto* text = static_cast<std::string*>(data->UserData);
    text->resize(static_cast<size_t>(data->BufTextLen));
    data->Buf = text->data();
    return 0;
}

}  // namespace

bool InputTextString(const char* label, std::string& text, ImGuiInputTextFlags flags) {
    return ImGui::InputText(label, text.data(), text.capacity() + 1, flags | ImGuiInputTextFlags_CallbackResize,
                            GrowString, &text);
}
