#pragma once
#include <functional>

// The plugin's page in the host's settings: an "Open" button above the credit footer, which
// `credits` draws. `openWindow` runs when the button is pressed.
void DrawSettingsPageContents(const std::function<void()>& openWindow, const std::function<void()>& credits);
