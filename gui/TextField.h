#pragma once
// Text fields that edit a std::string. ImGui edits a char buffer of a fixed size; these grow the
// string as the user types, so a name is never cut at some buffer's length.
#include <string>

#include "imgui.h"

bool InputTextString(const char* label, std::string& text, ImGuiInputTextFlags flags = 0);
