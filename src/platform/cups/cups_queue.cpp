#include "platform/cups/cups_queue.h"

#include <cups/cups.h>

namespace kassio::cups {

namespace {

// The destinations of one cupsGetDests2() call, freed on scope exit.
class Dests {
  public:
    explicit Dests(http_t* http) { m_count = cupsGetDests2(http, &m_dests); }
    ~Dests() { cupsFreeDests(m_count, m_dests); }
    Dests(const Dests&) = delete;
    Dests& operator=(const Dests&) = delete;
    int count() const { return m_count; }
    const cups_dest_t& at(int i) const { return m_dests[i]; }

  private:
    cups_dest_t* m_dests = nullptr;
    int m_count = 0;
};

}  // namespace

std::optional<std::vector<PrinterInfo>> listQueues() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    if (!http) return std::nullopt;
    std::vector<PrinterInfo> out;
    {
        Dests dests(http);
        for (int i = 0; i < dests.count(); ++i) {
            const cups_dest_t& d = dests.at(i);
            if (d.instance) continue;  // instances are options of one queue
            const char* model = cupsGetOption("printer-make-and-model", d.num_options, d.options);
            out.push_back({d.name, model ? model : ""});
        }
    }
    httpClose(http);
    return out;
}

std::string defaultQueue() {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) return {};
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

Printers::RawResult sendRawJob(const std::string& queue, const std::string& documentName,
                               const std::vector<uint8_t>& bytes) {
    if (queue.empty()) return Printers::RawResult::kCannotOpen;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
    if (!dest) return Printers::RawResult::kCannotOpen;
    cupsFreeDests(1, dest);

    cups_option_t* options = nullptr;
    int count = cupsAddOption("raw", "true", 0, &options);
    int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.c_str(), documentName.c_str(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0) return Printers::RawResult::kFailed;

    bool ok = cupsStartDocument(CUPS_HTTP_DEFAULT, queue.c_str(), job, documentName.c_str(),
                                CUPS_FORMAT_RAW, 1) == HTTP_STATUS_CONTINUE;
    if (ok && !bytes.empty())
        ok = cupsWriteRequestData(CUPS_HTTP_DEFAULT, reinterpret_cast<const char*>(bytes.data()),
                                  bytes.size()) == HTTP_STATUS_CONTINUE;
    if (ok) ok = cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str()) == IPP_STATUS_OK;
    if (!ok) cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
    return ok ? Printers::RawResult::kSent : Printers::RawResult::kFailed;
}

}  // namespace kassio::cups
