// The till window's Utilities and Help commands that edit the shop's own
// settings or show the Help panels: "Tax setup", "Store print heading",
// "Non inventory settings", "File reset", "Calendar", "About" and the
// manual ("Contents", F1).
#pragma once

class QWidget;

namespace kassio {

class CommandRouter;
class DataStore;
class Ui;

namespace utility_command {
inline constexpr int kTaxSetup = 5040;
inline constexpr int kPrintHeading = 5041;
inline constexpr int kFileReset = 5047;
inline constexpr int kNonInventorySettings = 5048;
inline constexpr int kCalendar = 3006;
inline constexpr int kAbout = 1061;
inline constexpr int kHelpContents = 1098;
}  // namespace utility_command

// Every reference must outlive the router.
void registerUtilityCommands(CommandRouter& router, DataStore& store, Ui& ui, QWidget* window);

}  // namespace kassio
