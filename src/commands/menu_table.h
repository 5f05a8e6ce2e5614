// The menu tree of the till window as data: menu, item text with its
// accelerator marker, command number and shortcut text, and the rules that
// grey an item for an ordinary clerk or tick it.
//
// Commands whose number the shop's documentation does not fix carry numbers
// from 5000 up; they stay greyed until their operation is built.
#pragma once

#include <string>
#include <vector>

namespace kassio {

class Till;
class CommandRouter;

struct MenuItem {
    const char* menu;  // "&File", "&Payments", ...
    const char* text;  // "E&xit"; nullptr for a separator
    int command;
    const char* shortcut;  // "F5", "Ctrl+W", "Alt+X", or ""
    bool greyedForClerks;  // greyed when an ordinary clerk opens the menu
    bool checkable;
};

const std::vector<MenuItem>& menuTable();

// Whether the item can be chosen now: its operation exists, and for an
// ordinary clerk it is not greyed, or its permission is granted.
bool menuItemEnabled(const MenuItem& item, const Till& till, const CommandRouter& router);
// The same for a toolbar button or any other way to a command: a command
// on the menus is enabled exactly when its menu item is.
bool commandEnabled(int command, const Till& till, const CommandRouter& router);
// The check mark of "Button tips", "Sound effects" and "Indent listings".
bool menuItemChecked(const MenuItem& item, const Till& till);

}  // namespace kassio
