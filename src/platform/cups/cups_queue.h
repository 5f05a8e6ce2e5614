// Printer queues through libcups: the list of destinations, the default
// one, and raw byte jobs (the drawer kick through the receipt printer).
// The server is the one libcups finds (CUPS_SERVER, client.conf, the
// local socket).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/printers.h"

namespace kassio::cups {

// Every destination in the server's order; nullopt when the server cannot
// be asked.
std::optional<std::vector<PrinterInfo>> listQueues();
std::string defaultQueue();

// Opens the queue, starts a raw document with this name, writes the bytes
// (when there are any), ends it. kCannotOpen when the queue is unknown or
// unreachable; kFailed when a later step failed (the job is then cancelled
// rather than left half-written).
Printers::RawResult sendRawJob(const std::string& queue, const std::string& documentName,
                               const std::vector<uint8_t>& bytes);

}  // namespace kassio::cups
