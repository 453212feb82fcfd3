#pragma once

// The credit footer that the settings page and the window share: one line at the bottom of the
// current window, with a "(?)" whose tooltip says where to report a fault.
void DrawCreditsFooter();
