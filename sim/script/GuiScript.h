#pragma once
// Script lines for the GUI host: the script runner hands over the words after "gui". The verbs
// and their usage are one table in GuiScript.cpp; GuiScriptHelp() lists it. What the words mean:
//
//   LABEL   a widget's label as drawn ("Enabled", "Save", "FOV"); press and select click it,
//           hover rests the mouse on it, fill clicks a text field, selects all and types over it
//   SCOPE   ("in SCOPE") a part of the name of the window the widget is in: "vistorb2_" (player
//           tabs), "vistorb2-right" (preset panel), "##Popup" (an open popup), "##Combo" (an
//           open combo list)
//   drag    puts a stepped slider on index INDEX of 0..LAST; LAST may be left out for the
//           camera sliders, whose grid the camera values' table gives
//   key     Enter, Escape, Tab, Backspace, Delete, Left, Right, Up, Down, Home, End, Space, or
//           ctrl+A/C/V/X/Y/Z
//   expect  STATE is present, absent, checked, unchecked, enabled, disabled, or "text TEXT"
//           (the text drawn in the widget)
//   see     some text on screen contains TEXT (unsee: none does)
//   show, items, text
//           print a widget as JSON, every labelled widget as JSON, every run of text on screen
//   screenshot
//           save the next frame as a PNG (window mode)
//   panel, panels, camera
//           show or hide a host panel, print which are shown, print where the camera view's
//           camera stands ("camera snap" first settles it where it belongs, without easing)
#include <functional>
#include <string>
#include <vector>

namespace sim {

class GuiHost;

// True when done; false with `error` for a malformed line or one that could not be carried
// out. Lines that print hand their text to `print` (without a final newline).
bool RunGuiScriptCommand(GuiHost& gui, const std::vector<std::string>& words, std::string& error,
                         const std::function<void(const std::string&)>& print = {});

// Every GUI line's usage, one a line ("  gui ..."), in the order of the table.
std::string GuiScriptHelp();

}  // namespace sim
