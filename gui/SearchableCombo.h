#pragma once
#include <string>
#include <string_view>

#include "imgui.h"

// A combo box whose preview area becomes a search field while its list is open. The field
// takes typed characters from the press that opens the list on, without a second click; the
// caller draws the (filtered) items and ends the list with ImGui::EndCombo when this returns true.
// `search` is the caller's NUL-terminated buffer of `searchSize` bytes.
bool BeginSearchableCombo(const char* label, const char* previewValue, char* search, int searchSize,
                          const char* hint, ImGuiComboFlags flags = 0);

// Position of the first occurrence of `search` in `text`, comparing letters without regard to
// case (as the C library folds them), or std::string::npos. An empty search is found at 0.
std::string::size_type ContainsIgnoreCase(std::string text, std::string search);

// The C library's folding of every byte, taken at once: a list filtered every frame would
// otherwise ask tolower for every byte of every name.
struct CaseFolding {
    unsigned char lower[256];
    CaseFolding();  // in the current C locale
};

// The same search as ContainsIgnoreCase without copying either text, for filtering a list.
std::string_view::size_type FindIgnoreCase(std::string_view text, std::string_view search, const CaseFolding& folding);
