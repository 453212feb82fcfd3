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

// The C library's folding of every byte, taken at once: a list filtered every frame would
// otherwise ask tolower for every byte of every name.
struct CaseFolding {
    unsigned char lower[256];
    CaseFolding();  // in the current C locale
};

// Position of the first occurrence of `search` in `text`, comparing bytes as `folding` folds them
// (letters without regard to case, as the C library folds them), or npos. An empty search is
// found at 0. Neither text is copied: a list is filtered with it every frame.
std::string_view::size_type FindIgnoreCase(std::string_view text, std::string_view search, const CaseFolding& folding);
