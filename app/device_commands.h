// The till window's commands for the device and printing settings: the
// Receipts, Till configuration and Pole configuration pages, the custom
// receipt, the receipt wording, the card terminal settings and the manual
// card completion.
#pragma once

class QWidget;

namespace kassio {

class CommandRouter;
class DataStore;
class Printers;
class StationDevices;
class Ui;

namespace device_command {
inline constexpr int kCustomReceipt = 5042;
inline constexpr int kCustomizeLanguage = 5043;
inline constexpr int kReceiptsPage = 5050;
inline constexpr int kTillConfiguration = 5051;
inline constexpr int kPoleConfiguration = 5052;
inline constexpr int kCardTerminal = 5053;
inline constexpr int kCardCompletion = 5054;
}  // namespace device_command

// Every reference must outlive the router.
void registerDeviceCommands(CommandRouter& router, DataStore& store, Ui& ui,
                            StationDevices& devices, Printers& printers, QWidget* window);

}  // namespace kassio
