#include "ui/utilities/utility_dialogs.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_ui.h"

namespace kassio {

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, const std::string& text, int maxLength) {
    auto* e = new QLineEdit(toQt(text), parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* text, bool on) {
    auto* c = new QCheckBox(QString::fromLatin1(text), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(on);
    return c;
}

QComboBox* comboBox(QWidget* parent, const char* name, const QStringList& entries, int index) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(entries);
    c->setCurrentIndex(index);
    return c;
}

}  // namespace

CheckedDialog::CheckedDialog(QWidget* parent, const QString& title, const QString& question)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    // The title again inside: without a window manager there is no title bar.
    auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()), this);
    layout->addWidget(heading);
    if (!question.isEmpty()) {
        auto* q = new QLabel(question, this);
        q->setWordWrap(true);
        layout->addWidget(q);
    }
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Status s = m_check ? m_check() : Status::ok();
        if (s) {
            accept();
            return;
        }
        m_problem->setText(toQt(s.message()));
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool CheckedDialog::runChecked(std::function<Status()> check) {
    m_check = std::move(check);
    return exec() == QDialog::Accepted;
}

// --- Tax setup ----------------------------------------------------------------

TaxSetupDialog::TaxSetupDialog(QWidget* parent)
    : CheckedDialog(parent, QStringLiteral("Tax setup"),
                    QStringLiteral("Rates in percent, say 20 or 17.5. The threshold rule charges "
                                   "tax 1 only once the taxable total of a sale passes the "
                                   "threshold.")) {}

std::optional<TaxSetup> TaxSetupDialog::run(QWidget* parent, const TaxSetup& page) {
    TaxSetupDialog d(parent);
    auto* f = d.form();
    auto* in1 = checkBox(&d, "tax1InUse", "Tax 1 in use", page.tax1InUse);
    auto* name1 = lineEdit(&d, "tax1Name", page.tax1Name, 5);
    auto* rate1 = lineEdit(&d, "tax1Rate", page.tax1Rate, 6);
    auto* in2 = checkBox(&d, "tax2InUse", "Tax 2 in use", page.tax2InUse);
    auto* name2 = lineEdit(&d, "tax2Name", page.tax2Name, 5);
    auto* rate2 = lineEdit(&d, "tax2Rate", page.tax2Rate, 6);
    auto* onTax1 =
        checkBox(&d, "tax2OnTax1", "Charge tax 2 on the price plus tax 1", page.tax2OnTax1);
    auto* thresholdOn =
        checkBox(&d, "thresholdInUse", "Tax 1 threshold in use", page.thresholdInUse);
    auto* threshold = lineEdit(&d, "threshold", page.threshold, 12);
    auto* code = comboBox(&d, "defaultTaxCode", {"Non taxable", "Tax 1 and 2", "Tax 1", "Tax 2"},
                          page.defaultTaxCode);
    f->addRow(in1);
    f->addRow(QStringLiteral("Tax 1 name (to 5 characters)"), name1);
    f->addRow(QStringLiteral("Tax 1 rate (%)"), rate1);
    f->addRow(in2);
    f->addRow(QStringLiteral("Tax 2 name (to 5 characters)"), name2);
    f->addRow(QStringLiteral("Tax 2 rate (%)"), rate2);
    f->addRow(onTax1);
    f->addRow(thresholdOn);
    f->addRow(QStringLiteral("Tax 1 threshold"), threshold);
    f->addRow(QStringLiteral("Default tax code for new items"), code);
    TaxSetup result = page;
    auto read = [&] {
        result.tax1InUse = in1->isChecked();
        result.tax1Name = fromQt(name1->text());
        result.tax1Rate = fromQt(rate1->text().trimmed());
        result.tax2InUse = in2->isChecked();
        result.tax2Name = fromQt(name2->text());
        result.tax2Rate = fromQt(rate2->text().trimmed());
        result.tax2OnTax1 = onTax1->isChecked();
        result.thresholdInUse = thresholdOn->isChecked();
        result.threshold = fromQt(threshold->text().trimmed());
        result.defaultTaxCode = code->currentIndex();
        return result.check();
    };
    if (!d.runChecked(read)) return std::nullopt;
    return result;
}

// --- Store print heading -------------------------------------------------------------

PrintHeadingDialog::PrintHeadingDialog(QWidget* parent)
    : CheckedDialog(parent, QStringLiteral("Store print heading"),
                    QStringLiteral("Printed at the head of receipts, invoices, reports and "
                                   "letters.")) {}

std::optional<PrintHeading> PrintHeadingDialog::run(QWidget* parent, const PrintHeading& page) {
    PrintHeadingDialog d(parent);
    QLineEdit* lines[PrintHeading::kLines];
    for (int i = 0; i < PrintHeading::kLines; ++i) {
        const std::string name = "line" + std::to_string(i + 1);
        lines[i] = lineEdit(&d, name.c_str(), page.lines[i], PrintHeading::kLineLength);
        lines[i]->setMinimumWidth(420);
        d.form()->addRow(QString::fromLatin1(PrintHeading::kLabels[i]), lines[i]);
    }
    PrintHeading result;
    auto read = [&] {
        for (int i = 0; i < PrintHeading::kLines; ++i) result.lines[i] = fromQt(lines[i]->text());
        return result.check();
    };
    if (!d.runChecked(read)) return std::nullopt;
    return result;
}

// --- Non inventory settings ----------------------------------------------------------

NonInventoryDialog::NonInventoryDialog(QWidget* parent)
    : CheckedDialog(parent, QStringLiteral("Non inventory settings"),
                    QStringLiteral("The description shortcuts of \"Sell an item not on the "
                                   "database\" (also the client stations' custom sale buttons), "
                                   "and the taxes a new line starts with.")) {}

std::optional<NonInventorySettings> NonInventoryDialog::run(QWidget* parent,
                                                            const NonInventorySettings& page) {
    NonInventoryDialog d(parent);
    QLineEdit* labels[NonInventorySettings::kLabels];
    for (int i = 0; i < NonInventorySettings::kLabels; ++i) {
        const std::string name = "label" + std::to_string(i + 1);
        labels[i] = lineEdit(&d, name.c_str(), page.labels[i], NonInventorySettings::kLabelLength);
        d.form()->addRow(QStringLiteral("Button %1 (to 11 characters)").arg(i + 1), labels[i]);
    }
    auto* client = checkBox(&d, "clientButtons", "Client stations show the custom sale buttons",
                            page.clientButtons);
    auto* taxable = checkBox(&d, "taxable", "Taxable by default", page.taxable);
    QStringList choices;
    for (const char* c : kNonInventoryTaxChoices) choices << QString::fromLatin1(c);
    auto* taxes = comboBox(&d, "taxChoice", choices, page.taxChoice);
    d.form()->addRow(client);
    d.form()->addRow(taxable);
    d.form()->addRow(QStringLiteral("Taxes of a taxable line"), taxes);
    NonInventorySettings result = page;
    auto read = [&] {
        for (int i = 0; i < NonInventorySettings::kLabels; ++i)
            result.labels[i] = fromQt(labels[i]->text());
        result.clientButtons = client->isChecked();
        result.taxable = taxable->isChecked();
        result.taxChoice = taxes->currentIndex();
        return result.check();
    };
    if (!d.runChecked(read)) return std::nullopt;
    return result;
}

// --- File reset ---------------------------------------------------------------

FileResetDialog::FileResetDialog(QWidget* parent)
    : CheckedDialog(parent, QStringLiteral("File reset"),
                    QStringLiteral("Tick the totals to start again from zero. The journal keeps "
                                   "every transaction; only these running totals change.")) {}

std::optional<std::vector<ResetPart>> FileResetDialog::run(QWidget* parent) {
    FileResetDialog d(parent);
    std::vector<std::pair<QCheckBox*, ResetPart>> boxes;
    int n = 0;
    for (const ResetChoice& c : kResetChoices) {
        const std::string name = "reset" + std::to_string(++n);
        boxes.emplace_back(checkBox(&d, name.c_str(), c.label, false), c.part);
        d.form()->addRow(boxes.back().first);
    }
    auto* problem = d.findChild<QLabel*>(QStringLiteral("problem"));
    std::vector<ResetPart> chosen;
    std::vector<ResetPart> confirmed;
    auto read = [&] {
        chosen.clear();
        for (auto& [box, part] : boxes)
            if (box->isChecked()) chosen.push_back(part);
        if (chosen.empty()) return Status::invalid("Nothing chosen");
        if (chosen == confirmed) return Status::ok();
        // The first OK asks; the second with the same choice confirms.
        confirmed = chosen;
        problem->setStyleSheet(QString());
        return Status::invalid("Reset " + resetSummary(chosen) +
                               " to zero? Press OK again to confirm.");
    };
    if (!d.runChecked(read)) return std::nullopt;
    return chosen;
}

// --- Help ---------------------------------------------------------------------

void showCalendar(QWidget* parent) {
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("Calendar"));
    auto* layout = new QVBoxLayout(&d);
    auto* calendar = new QCalendarWidget(&d);
    calendar->setObjectName(QStringLiteral("calendar"));
    calendar->setGridVisible(true);
    // No typed dates: the calendar is for looking a day up, and Qt's date
    // entry keeps a validator that outlives the widget when the window is
    // closed while a typed date is still showing.
    calendar->setDateEditEnabled(false);
    calendar->setSelectedDate(QDate::currentDate());
    layout->addWidget(calendar);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &d);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addWidget(buttons);
    d.exec();
}

void showAbout(QWidget* parent, const QString& dataFolder) {
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("About KASSIO SC"));
    auto* layout = new QVBoxLayout(&d);
    auto* text = new QLabel(&d);
    text->setObjectName(QStringLiteral("about"));
    text->setTextFormat(Qt::RichText);
    text->setText(QStringLiteral("<h2>KASSIO SC</h2><p>Version %1</p>"
                                 "<p>Point of sale and back office for a small shop.</p>"
                                 "<p>Data folder: %2</p>")
                      .arg(QStringLiteral(KASSIO_VERSION), dataFolder.toHtmlEscaped()));
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    layout->addWidget(buttons);
    d.exec();
}

QString helpFolder() {
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kassio/help");
    for (const QString& dir :
         {beside, QStringLiteral(KASSIO_INSTALL_HELP_DIR), QStringLiteral(KASSIO_SOURCE_HELP_DIR)})
        if (QFileInfo::exists(dir + QStringLiteral("/kassio.htm")))
            return QDir(dir).canonicalPath();
    return {};
}

QTextBrowser* openHelp(QWidget* parent) {
    const QString folder = helpFolder();
    if (folder.isEmpty()) return nullptr;
    // One manual window; F1 again brings it to the front.
    if (parent)
        if (auto* open = parent->findChild<QTextBrowser*>(QStringLiteral("helpWindow"))) {
            open->raise();
            open->activateWindow();
            return open;
        }
    auto* browser = new QTextBrowser(parent);
    browser->setWindowFlag(Qt::Window);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setObjectName(QStringLiteral("helpWindow"));
    browser->setWindowTitle(QStringLiteral("KASSIO SC help"));
    browser->setOpenExternalLinks(true);
    browser->setSearchPaths({folder});
    browser->setSource(QUrl::fromLocalFile(folder + QStringLiteral("/kassio.htm")));
    browser->resize(720, 600);
    browser->show();
    return browser;
}

}  // namespace kassio
