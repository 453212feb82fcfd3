#pragma once

// Room kept free at the bottom of a window for the credit footer, in text lines.
inline constexpr float kFooterLines = 1.3f;
