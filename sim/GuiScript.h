#pragma once
// Script lines for the GUI host. The script runner hands over the words after "gui":
//
//   open settings | open window       show the host's settings window / open the plugin window
//   close settings | close window     hide / close them
//   frames N                          run N frames (1 to 100000)
//   press LABEL [in SCOPE]            click a widget (button, checkbox, tab, field, combo)
//   select LABEL [in SCOPE]           the same, for a list entry or a tab
//   hover LABEL [in SCOPE]            rest the mouse on a widget
//   drag LABEL INDEX [of LAST] [in SCOPE]
//                                     put a stepped slider on index INDEX of 0..LAST; LAST may be
//                                     left out for the camera sliders (FOV, Distance, Height,
//                                     Angle, Stiffness, SwivelSpeed, TransitionSpeed)
//   type TEXT                         type into whatever has the keyboard
//   fill LABEL TEXT [in SCOPE]        click a text field, select all, type TEXT over it
//   key NAME                          Enter, Escape, Tab, Backspace, Delete, Left, Right, Up,
//                                     Down, Home, End, Space, or ctrl+A/C/V/X/Y/Z
//   closebutton TITLE | collapse TITLE
//                                     the title bar buttons of the window titled TITLE
//   screenshot FILE                   save the next frame as a PNG (window mode)
//   expect LABEL STATE [in SCOPE]     STATE: present, absent, checked, unchecked, enabled,
//                                     disabled, or "text TEXT" (the text drawn in the widget)
//   see TEXT | unsee TEXT             some text on screen contains TEXT / none does
//   show LABEL [in SCOPE]             print the widget as JSON
//   items [SCOPE]                     print every labelled widget as JSON
//   text                              print every run of text on screen
//
// SCOPE is a part of the name of the window the widget is in: "vistorb2_" (player tabs),
// "vistorb2-right" (preset panel), "##Popup" (an open popup), "##Combo" (an open combo list).
#include <functional>
#include <string>
#include <vector>

namespace sim {

class GuiHost;

// True when done; false with `error` for a malformed line or one that could not be carried
// out. Lines that print hand their text to `print` (without a final newline).
bool RunGuiScriptCommand(GuiHost& gui, const std::vector<std::string>& words, std::string& error,
                         const std::function<void(const std::string&)>& print = {});

}  // namespace sim
