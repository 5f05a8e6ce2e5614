// The till window's document commands: the Transactions menu (display,
// find, by day, month or year, discounted, reprint last, the pro-forma
// quotation), "Barcode print" and "Invoices" on the Utilities menu, and the
// invoice drawing and "Email document" of the summary box.
#pragma once

class QWidget;

namespace kassio {

class CommandRouter;
class DataStore;
class Printers;
class StationDevices;
class Till;

namespace document_command {
inline constexpr int kDisplayTransaction = 1067;  // F11
inline constexpr int kFindTransaction = 3033;
inline constexpr int kInSpecificDay = 1022;
inline constexpr int kInSpecificMonth = 1025;
inline constexpr int kInSpecificYear = 1065;
inline constexpr int kDiscounted = 1036;
inline constexpr int kReprintLast = 1039;
inline constexpr int kProFormaQuotation = 1070;  // Ctrl+R
inline constexpr int kBarcodePrint = 5070;
inline constexpr int kInvoices = 5071;
}  // namespace document_command

// Every reference must outlive the router.
void registerDocumentCommands(CommandRouter& router, DataStore& store, Till& till,
                              StationDevices& devices, Printers& printers, QWidget* window);

}  // namespace kassio
