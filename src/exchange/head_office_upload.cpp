#include "exchange/head_office_upload.h"

#include <filesystem>

#include "base/text_format.h"

namespace kassio {

Status checkUploadChoice(const UploadSettings& settings) {
    for (bool c : settings.chosen)
        if (c) return Status::ok();
    return Status::invalid("No reports selected.");
}

FtpLogin ftpLogin(const UploadSettings& settings, int port) {
    return {settings.server, port, settings.user, settings.password, settings.tls};
}

Notice sendReportFiles(Ftp& ftp, const FtpLogin& login, const std::vector<std::string>& paths,
                       const std::function<void(bool)>& inProgress) {
    if (login.server.empty())
        return {"Please specify the FTP server in the configuration", kTitleProblem, true};
    auto session = ftp.connect(login);
    if (!session) return {"Internet ftp connect error", kTitleProblem, true};
    if (inProgress) inProgress(true);
    bool failed = false;
    for (const std::string& path : paths) {
        const std::string name = std::filesystem::path(path).filename().string();
        if (!session->send(path, name)) failed = true;
    }
    session.reset();
    if (inProgress) inProgress(false);
    if (failed) return {"Transfer failed", "Transmission", true};
    return {"Transfer complete", "Transmission", false};
}

namespace {

// Characters that would end the subject early or break the link.
std::string linkSafe(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&' || c == '#' || c == '%' || c == '?')
            out += formatted("%%%02X", static_cast<unsigned char>(c));
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string dailySummaryMailto(const std::string& storeName, const LocalTime& day,
                               const DailySummaryFigures& f) {
    const char* br = "%0D%0A";
    const std::string br2 = std::string(br) + br;
    std::string b = std::string("Kassio Daily Summary") + br;
    b += formatted("%s Activity report: D:%d M:%d Y:%d", linkSafe(storeName).c_str(), day.day,
                   day.month, day.year) +
         br2;
    b += formatted("Items sold: %d, Refunded: %d", f.itemsSold, f.refunded) + br2;
    b += std::string("Sales") + br;
    b += formatted("Cash: %.2f", f.salesCash) + br;
    b += formatted("CH: %.2f", f.salesCheque) + br;
    b += formatted("EFT: %.2f", f.salesCard) + br;
    b += formatted("Credit: %.2f", f.salesCredit) + br;
    b += formatted("\r\nTotal: %.2f", f.salesCash + f.salesCheque + f.salesCard + f.salesCredit) +
         br;
    b += formatted("(Discounts: %.2f)", f.discounts) + br2;
    b += std::string("Refunds") + br;
    b += formatted("Cash: %.2f", f.refundCash) + br;
    b += formatted("CH: %.2f", f.refundCheque) + br;
    b += formatted("\r\nEFT: %.2f", f.refundCard) + br;
    b += formatted("Credit: %.2f", f.refundCredit) + br;
    b += formatted("Total: %.2f", f.refundCash + f.refundCheque + f.refundCard + f.refundCredit) +
         br2;
    b += formatted("Non taxable sales: %.2f", f.nonTaxable) + br;
    b += formatted("Taxable sales: %.2f", f.taxable) + br;
    b += formatted("Sub total: %.2f", f.nonTaxable + f.taxable) + br;
    b += formatted("Tax 1: %.2f", f.tax1) + br;
    b += formatted("Tax 2: %.2f", f.tax2) + br;
    b += formatted("\r\nTotal: %.2f", f.dayTotal) + br2;
    b += std::string("Balance payments:") + br;
    b += formatted("Cash: %.2f", f.paymentCash) + br;
    b += formatted("CH: %.2f", f.paymentCheque) + br;
    b += formatted("\r\nEFT: %.2f", f.paymentCard) + br;
    b += formatted("Total: %.2f", f.paymentCash + f.paymentCheque + f.paymentCard) + br2;
    b += formatted("(Cash back: %.2f)", f.cashBack) + br;
    const double net = f.nonTaxable + f.taxable;
    b += formatted("Net sales: %.2f", net) + br;
    b += formatted("Cost of sales: %.2f", f.costOfSales) + br;
    b += formatted("Gross profit: %.2f", net - f.costOfSales) + br;
    return formatted("mailto:?subject=%s Kassio Daily Summary&body=", linkSafe(storeName).c_str()) +
           b;
}

}  // namespace kassio
