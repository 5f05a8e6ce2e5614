// The head office upload: the chosen report files sent to an FTP server,
// and the daily summary handed to the desktop's mail program as a mailto:
// link.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "base/status.h"
#include "exchange/exchange_notice.h"
#include "exchange/upload_settings.h"
#include "platform/ftp.h"

namespace kassio {

inline constexpr int kFtpPort = 21;

// "No reports selected." when none of the three is chosen.
Status checkUploadChoice(const UploadSettings& settings);

FtpLogin ftpLogin(const UploadSettings& settings, int port = kFtpPort);

// The worker thread's part: logs in and sends each file under its base
// name, in order; a failed send marks the upload failed and the next file
// is still sent. inProgress(true) comes once logged in ("Upload in
// progress" in the window title), inProgress(false) before the result.
// Gives the message to show: "Transfer complete" or "Transfer failed"
// (title "Transmission"), or why nothing was sent.
Notice sendReportFiles(Ftp& ftp, const FtpLogin& login, const std::vector<std::string>& paths,
                       const std::function<void(bool inProgress)>& inProgress = {});

// The day's figures the e-mail carries, from the activity summary.
struct DailySummaryFigures {
    int itemsSold = 0, refunded = 0;
    double salesCash = 0, salesCheque = 0, salesCard = 0, salesCredit = 0, discounts = 0;
    double refundCash = 0, refundCheque = 0, refundCard = 0, refundCredit = 0;
    double nonTaxable = 0, taxable = 0, tax1 = 0, tax2 = 0, dayTotal = 0;
    double paymentCash = 0, paymentCheque = 0, paymentCard = 0;
    double cashBack = 0, costOfSales = 0;
};

// "mailto:?subject=<store> Kassio Daily Summary&body=..." with the day's
// figures; the three real line breaks of the body are kept as they are.
std::string dailySummaryMailto(const std::string& storeName, const LocalTime& day,
                               const DailySummaryFigures& f);

}  // namespace kassio
