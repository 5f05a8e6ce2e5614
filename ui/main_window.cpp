#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "admin/clerks.h"
#include "base/text_format.h"
#include "commands/command_router.h"
#include "commands/menu_table.h"
#include "platform/curl/curl_ftp.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "till/shop_settings.h"
#include "till/till.h"
#include "ui/config_dialog.h"
#include "ui/exchange/exchange_commands.h"
#include "ui/qt_ui.h"
#include "ui/till_button.h"
#include "ui/till_dialogs.h"
#include "ui/toolbar_icons.h"
#include "ui/utilities/utility_commands.h"

namespace kassio {

using namespace command;

namespace {

// The DataFolder's pictures are named "STOCK%d.bmp" by the records and
// "stock%d.bmp" on disk; names are not case-sensitive to the shop.
QPixmap loadPicture(const std::string& folder, const std::string& name) {
    QDir dir(QString::fromStdString(folder));
    const QString wanted = QString::fromStdString(name);
    for (const QString& candidate : {wanted, wanted.toLower(), wanted.toUpper()})
        if (dir.exists(candidate)) return QPixmap(dir.filePath(candidate));
    const QStringList all = dir.entryList({"*.bmp", "*.BMP"}, QDir::Files);
    for (const QString& f : all)
        if (f.compare(wanted, Qt::CaseInsensitive) == 0) return QPixmap(dir.filePath(f));
    return {};
}

struct ButtonSpec {
    int command;
    const char* label;
    Glyph glyph;
    QColor face;
    const char* tooltip;
};

const QColor kBlue(70, 120, 200), kGreen(60, 160, 90), kRed(200, 70, 60), kGrey(170, 170, 175),
    kAmber(230, 170, 50), kTeal(50, 150, 160), kPurple(130, 90, 170);

const ButtonSpec kTillButtons[] = {
    {kNonInventorySale, "Non stock", Glyph::kPlus, kTeal, "Sell an item not on the database"},
    {kTransactionNote, "Note", Glyph::kNote, kGrey, "Add a note to the transaction"},
    {kOpenDrawer, "Drawer", Glyph::kDrawer, kGrey, "Open cash till drawer"},
    {kTradeToggle, "Trade", Glyph::kTrade, kPurple, "Toggle between trade and retail prices"},
    {kPictureSearch, "Find item", Glyph::kSearch, kBlue, "Add item to basket   ENTER to find"},
    {kCashTender, "Cash", Glyph::kCash, kGreen, "Pay by cash"},
    {kVoidLine, "Void", Glyph::kVoid, kRed, "Remove highlighted item"},
    {kRepeatLine, "Repeat", Glyph::kRepeat, kBlue,
     "Repeat last also multiple of last with quantity in item box"},
    {kClearBasket, "Clear", Glyph::kClear, kRed, "Empty basket"},
    {kCreditTender, "Account", Glyph::kAccount, kGreen, "Pay by credit to customer"},
    {kAdjustByWeight, "Weight", Glyph::kScale, kAmber, "Adjust price of last item by weight"},
    {kCardTender, "Card", Glyph::kCard, kGreen, "Pay by credit debit card"},
    {kRefund, "Refund", Glyph::kRefund, kAmber, "Refund basket"},
    {kAdjustPrice, "Price", Glyph::kPrice, kAmber, "Adjust price of last item"},
    {kPageBack, "Back", Glyph::kBack, kGrey, "Scroll back through category"},
    {kPageForward, "More", Glyph::kForward, kGrey, "Scroll forwards through category"},
    {kSkuSearch, "SKU", Glyph::kSku, kBlue, "Search Sku 1"},
    {kChangeBasket, "Baskets", Glyph::kBaskets, kPurple, "Change basket table"},
};

const ButtonSpec kFunctionButtons[] = {
    {kFunctionReceived, "Received", Glyph::kNone, kGrey, "Inventory received"},
    {kFunctionDiscount, "Discount", Glyph::kNone, kAmber, "Add discount"},
    {kFunctionFindPhone, "Find phone", Glyph::kNone, kGrey, "Find customer by telephone"},
    {kFunctionCheque, "CH", Glyph::kNone, kGreen, "Pay by cheque"},
    {kFunctionReorder, "Reorder", Glyph::kNone, kGrey, "Reorder list"},
    {kFunctionOutOfStock, "Out of stock", Glyph::kNone, kGrey, "Out of stock list"},
    {kFunctionReprint, "Reprint", Glyph::kNone, kGrey, "Reprint last receipt"},
    {kFunctionAssociate, "Customer", Glyph::kNone, kGrey, "Associate customer"},
};

struct ToolSpec {
    int command;
    const char* tooltip;
};
const ToolSpec kToolbar[] = {
    {kBackup, "Backup"},
    {kFindCustomer, "Find customer"},
    {kDeleteCustomer, "Delete customer"},
    {kFindInventory, "Find inventory (F2)"},
    {kPrintInventory, "Print inventory"},
    {kPrintCustomInventory, "Print custom inventory"},
    {kAmendInventory, "Amend inventory (F3)"},
    {kDeleteInventory, "Delete inventory"},
    {kDisplayTransaction, "Display transaction (F11)"},
    {kPrintDebtorLetter1, "Print overdue letter"},
    {kDeleteSupplier, "Delete supplier"},
    {kAddImageToInventory, "Add image to inventory"},
    {kNewLine, "Add new inventory (F4)"},
    {kLogOn, "Log off (Shortcut F9)"},
    {kAddCustomer, "Add customer"},
    {kReorderList, "Print reorder list"},
    {kPayments, "Payments"},
    {kAddSupplier, "Add supplier"},
    {kSalesReport, "Sales report"},
    {kUploadReport, "Upload report"},
};

}  // namespace

// --- Totals ---------------------------------------------------------------------

TotalsWidget::TotalsWidget(Till& till, QWidget* parent) : QWidget(parent), m_till(till) {
    setMinimumHeight(130);
}

void TotalsWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(250, 250, 245));
    p.setPen(QColor(180, 180, 180));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const TotalsPanel t = m_till.totalsPanel();
    QFont f = font();
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    int y = 18;
    p.drawText(8, y, QString::fromStdString(t.transaction));
    if (t.lines) p.drawText(8, y + 18, QString("Lines: %1").arg(t.lines));
    if (t.trade) p.drawText(8, y + 36, "Trade");
    if (t.skuMode) p.drawText(8, y + 54, "SKU 1");
    if (!t.showTotals) return;
    const int right = width() - 10;
    auto row = [&](const char* label, const std::string& value, int at) {
        p.drawText(QRect(120, at - 13, right - 120 - 90, 16), Qt::AlignRight, label);
        p.drawText(QRect(right - 90, at - 13, 90, 16), Qt::AlignRight,
                   QString::fromStdString(value));
    };
    p.setPen(QColor(120, 120, 120));
    row("Taxable", t.taxable, y);
    row("Non taxable", t.nonTaxable, y + 16);
    row("Subtotal", t.subtotal, y + 32);
    row(m_till.store().config().tax1Name().c_str(), t.tax1, y + 48);
    row(m_till.store().config().tax2Name().c_str(), t.tax2, y + 64);
    if (!t.discount.empty()) row("Discount", t.discount, y + 80);
    QFont big = f;
    big.setPixelSize(26);
    big.setBold(true);
    p.setFont(big);
    p.setPen(QColor(20, 20, 20));
    p.drawText(QRect(8, height() - 36, right - 8, 32), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromStdString(t.total));
    if (!t.secondCurrency.empty()) {
        p.setFont(f);
        p.drawText(QRect(8, height() - 36, 200, 32), Qt::AlignLeft | Qt::AlignVCenter,
                   toQt(t.secondCurrency));
    }
}

// --- Window -------------------------------------------------------------------

MainWindow::MainWindow(DataStore& store, Till& till, CommandRouter& router, QWidget* parent,
                       Station station)
    : QMainWindow(parent), m_store(store), m_till(till), m_router(router), m_station(station) {
    setWindowTitle("KASSIO");
    setMinimumSize(1024, 746);
    setStyleSheet("QMainWindow { background: #d4d0c8; }");
    registerWindowCommands();
    buildMenus();
    buildToolbar();
    setCentralWidget(buildTillArea());
    if (m_station == Station::kClient) {
        m_stationState = new QLabel(this);
        statusBar()->addPermanentWidget(m_stationState);
    } else {
        statusBar()->showMessage(QString::fromStdString(store.folder()));
    }
    m_till.quickSelect().fill();
    // A posted sale finishes the cash panel in the core; its widget follows
    // before the summary box or the receipt shows.
    m_till.setSalePosted([this] {
        if (m_panel) m_panel->followCore();
        refresh();
    });
    commandsChanged();
    refresh();
}

MainWindow::~MainWindow() {
    m_till.setSalePosted({});
}

TillButton* MainWindow::button(int command) const {
    auto it = m_buttons.find(command);
    return it == m_buttons.end() ? nullptr : it->second;
}

QAction* MainWindow::menuAction(int command) const {
    auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainWindow::buildToolbar() {
    QToolBar* bar = addToolBar("Tools");
    bar->setMovable(false);
    bar->setIconSize(QSize(28, 28));
    for (const ToolSpec& t : kToolbar) {
        QAction* a = bar->addAction(toolbarIcon(t.command, 28), t.tooltip);
        a->setToolTip(t.tooltip);
        const int c = t.command;
        connect(a, &QAction::triggered, this, [this, c] { runCommand(c); });
        m_tools[c] = a;
    }
}

void MainWindow::commandsChanged() {
    for (auto& [command, action] : m_tools)
        action->setEnabled(commandEnabled(command, m_till, m_router));
    for (auto& [command, b] : m_buttons)
        if (command < kQuickSelectFirst || command > kQuickSelectLast)
            b->setEnabled(m_router.available(command));
    if (m_station != Station::kClient) return;
    // A client station has no shop files: what needs them is greyed, and
    // its tooltip says where it runs instead.
    for (auto& [command, action] : m_tools)
        if (!m_router.available(command)) action->setToolTip(kAtMainStation);
    for (auto& [command, action] : m_actions)
        if (!m_router.available(command)) {
            if (auto* menu = qobject_cast<QMenu*>(action->parent())) menu->setToolTipsVisible(true);
            action->setToolTip(kAtMainStation);
            action->setStatusTip(kAtMainStation);
        }
    for (auto& [command, b] : m_buttons)
        if ((command < kQuickSelectFirst || command > kQuickSelectLast) &&
            !m_router.available(command))
            b->setToolTip(kAtMainStation);
}

void MainWindow::showStationState(const QString& text, bool alarm) {
    if (!m_stationState) return;
    m_stationState->setText(text);
    m_stationState->setStyleSheet(alarm ? "QLabel { color: white; background: #b00000; "
                                          "font-weight: bold; padding: 2px 8px; }"
                                        : "QLabel { padding: 2px 8px; }");
}

QString MainWindow::stationState() const {
    return m_stationState ? m_stationState->text() : QString();
}

void MainWindow::buildMenus() {
    std::map<std::string, QMenu*> menus;
    for (const MenuItem& item : menuTable()) {
        QMenu*& menu = menus[item.menu];
        if (!menu) {
            menu = menuBar()->addMenu(item.menu);
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { updateMenu(menu); });
        }
        if (!item.text) {
            menu->addSeparator();
            continue;
        }
        QString text = item.text;
        if (*item.shortcut) text += QString("\t") + item.shortcut;
        QAction* a = menu->addAction(text);
        a->setCheckable(item.checkable);
        const int c = item.command;
        // Alt+X is the one accelerator the menu itself carries; every other
        // key reaches its command through the entry box.
        if (c == kExit) a->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
        connect(a, &QAction::triggered, this, [this, c] { runCommand(c); });
        m_actions[c] = a;
        m_items[a] = &item;
    }
    for (auto& [name, menu] : menus) updateMenu(menu);
}

void MainWindow::updateMenu(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        auto it = m_items.find(a);
        if (it == m_items.end()) continue;
        a->setEnabled(menuItemEnabled(*it->second, m_till, m_router));
        if (a->isCheckable()) a->setChecked(menuItemChecked(*it->second, m_till));
    }
}

QWidget* MainWindow::buildTillArea() {
    auto* area = new QWidget(this);
    auto* columns = new QHBoxLayout(area);
    columns->setContentsMargins(6, 6, 6, 6);

    // Left: entry box, basket, totals, keypad.
    auto* left = new QVBoxLayout;
    m_entry = new QLineEdit(area);
    m_entry->setMaxLength(38);
    QFont ef = m_entry->font();
    ef.setPixelSize(20);
    m_entry->setFont(ef);
    m_entry->setMinimumHeight(38);
    m_entry->installEventFilter(this);
    connect(m_entry, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_router.setEntryText(fromQt(text)); });
    left->addWidget(m_entry);
    m_basket = new QListWidget(area);
    QFont bf = m_basket->font();
    bf.setPixelSize(15);
    m_basket->setFont(bf);
    m_basket->setFocusPolicy(Qt::NoFocus);
    m_basket->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_basket->setTextElideMode(Qt::ElideMiddle);
    connect(m_basket, &QListWidget::currentRowChanged, this,
            [this](int row) { m_till.current().selectRow(row); });
    left->addWidget(m_basket, 1);
    m_totals = new TotalsWidget(m_till, area);
    left->addWidget(m_totals);
    auto* keys = new QGridLayout;
    const char* labels[12] = {"7", "8", "9", "4", "5", "6", "1", "2", "3", "c", "0", "e"};
    const int commands[12] = {kKeypadFirst + 7, kKeypadFirst + 8, kKeypadFirst + 9,
                              kKeypadFirst + 4, kKeypadFirst + 5, kKeypadFirst + 6,
                              kKeypadFirst + 1, kKeypadFirst + 2, kKeypadFirst + 3,
                              kKeypadClear,     kKeypadFirst,     kKeypadErase};
    for (int i = 0; i < 12; ++i) {
        auto* b = new TillButton(labels[i], Glyph::kNone, QColor(235, 235, 238), area);
        b->setMinimumHeight(40);
        const int c = commands[i];
        connect(b, &QPushButton::clicked, this, [this, c] { runCommand(c); });
        m_buttons[c] = b;
        keys->addWidget(b, i / 6, i % 6);
    }
    left->addLayout(keys);
    columns->addLayout(left, 4);

    // Right: till buttons, categories, quick select, function buttons.
    auto* right = new QVBoxLayout;
    auto* till = new QGridLayout;
    int i = 0;
    for (const ButtonSpec& s : kTillButtons) {
        auto* b = new TillButton(s.label, s.glyph, s.face, area);
        b->setToolTip(s.tooltip);
        b->setMinimumHeight(58);
        const int c = s.command;
        connect(b, &QPushButton::clicked, this, [this, c] { runCommand(c); });
        m_buttons[c] = b;
        till->addWidget(b, i / 6, i % 6);
        ++i;
    }
    right->addLayout(till, 3);
    auto* cats = new QGridLayout;
    for (int c = 0; c <= kAllCategories; ++c) {
        const QString label =
            c == kAllCategories ? QString("ALL") : toQt(m_store.config().categoryCode(c));
        auto* b = new TillButton(label, Glyph::kNone, QColor(225, 225, 215), area);
        b->setMinimumHeight(30);
        const int command = kCategoryFirst + c;
        connect(b, &QPushButton::clicked, this, [this, command] { runCommand(command); });
        m_buttons[command] = b;
        m_categories.push_back(b);
        cats->addWidget(b, c / 10, c % 10);
    }
    right->addLayout(cats, 1);
    m_quickArea = new QWidget(area);
    m_quickArea->setMinimumHeight(170);
    right->addWidget(m_quickArea, 6);
    auto* functions = new QHBoxLayout;
    for (const ButtonSpec& s : kFunctionButtons) {
        auto* b = new TillButton(s.label, Glyph::kNone, s.face.lighter(130), area);
        b->setToolTip(s.tooltip);
        b->setMinimumHeight(36);
        const int c = s.command;
        connect(b, &QPushButton::clicked, this, [this, c] { runCommand(c); });
        m_buttons[c] = b;
        functions->addWidget(b);
    }
    right->addLayout(functions, 1);
    columns->addLayout(right, 6);
    return area;
}

void MainWindow::layoutQuickSelect() {
    const int cell = 92;
    const int cols = std::max(1, m_quickArea->width() / cell);
    const int rows = std::max(1, m_quickArea->height() / cell);
    int count = std::clamp(cols * rows, 14, kQuickSelectButtons);
    const int useCols = std::max(cols, (count + rows - 1) / rows);
    if (count != visibleQuickSelect() || useCols != m_quickColumns) {
        m_quickColumns = useCols;
        for (TillButton* b : m_quick) delete b;
        m_quick.clear();
        delete m_quickArea->layout();
        auto* grid = new QGridLayout(m_quickArea);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setSpacing(3);
        for (int n = 0; n < count; ++n) {
            auto* b = new TillButton(QString(), Glyph::kNone, QColor(245, 245, 250), m_quickArea);
            b->setMinimumSize(60, 60);
            b->setFocusPolicy(Qt::NoFocus);
            // Equal cells whatever the labels say.
            b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
            const int c = kQuickSelectFirst + n;
            connect(b, &QPushButton::clicked, this, [this, c] { runCommand(c); });
            m_buttons[c] = b;
            grid->addWidget(b, n / useCols, n % useCols);
            m_quick.push_back(b);
        }
        for (int c = 0; c < useCols; ++c) grid->setColumnStretch(c, 1);
        for (int r = 0; r < (count + useCols - 1) / useCols; ++r) grid->setRowStretch(r, 1);
        m_till.quickSelect().setVisibleButtons(count);
        m_till.quickSelect().fill();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The quick-select area has its new size only once the layouts ran.
    QMetaObject::invokeMethod(
        this,
        [this] {
            layoutQuickSelect();
            refresh();
        },
        Qt::QueuedConnection);
}

void MainWindow::refresh() {
    if (m_panel) m_panel->followCore();
    setWindowTitle(QString::fromStdString(m_till.clerks().windowTitle()));
    const CurrentBasket& current = m_till.current();
    m_basket->blockSignals(true);
    m_basket->clear();
    for (const std::string& r : current.rows()) m_basket->addItem(toQt(r));
    m_basket->setCurrentRow(current.selectedRow());
    m_basket->blockSignals(false);
    if (current.selectedRow() >= 0) m_basket->scrollToItem(m_basket->currentItem());
    m_totals->update();
    for (std::size_t n = 0; n < m_quick.size(); ++n) {
        const QuickSelectEntry& q = m_till.quickSelect().entries()[n];
        m_quick[n]->setText(toQt(q.description));
        m_quick[n]->setPicture(q.number ? loadPicture(m_store.folder(), q.picture) : QPixmap());
        m_quick[n]->setEnabled(q.number != 0);
    }
    for (int c = 0; c <= kAllCategories; ++c)
        m_categories[static_cast<std::size_t>(c)]->setDown(c == m_till.quickSelect().category());
    // A clerk change greys the toolbar as it greys the menus.
    for (auto& [command, action] : m_tools)
        action->setEnabled(commandEnabled(command, m_till, m_router));
    const bool tips = m_store.config().record().settings_b[kSetBButtonTipsOff] == 0;
    for (auto& [command, b] : m_buttons) b->setToolTipDuration(tips ? -1 : 1);
}

// --- Commands -----------------------------------------------------------------

void MainWindow::registerWindowCommands() {
    for (int c = kKeypadFirst; c <= kKeypadErase; ++c) m_router.set(c, [this, c] { keypad(c); });
    m_router.set(kExit, [this] { close(); });
    m_router.set(kPictureSearch, [this] { m_router.processEntry("\r\n", false); });
    m_router.set(kLogOn, [this] { logOn(); });
    m_router.set(kUserControl, [this] { logOn(); });
    m_router.set(kNonInventorySale, [this] {
        if (auto line = askNonInventoryLine(m_store.config(), this)) m_till.addNonInventory(*line);
    });
    m_router.set(kSoundEffects, [this] { m_till.show(toggleSoundEffects(m_store)); });
    m_router.set(kButtonTips, [this] { m_till.show(toggleButtonTips(m_store)); });
    m_router.set(kTipOfTheDay, [this] { showTipOfTheDay(); });
    // The rest works on the shop's files, which a client station has not.
    if (m_station == Station::kClient) return;
    m_router.set(kOperatorSetup, [this] {
        QtOperatorSetupForm form(this);
        runOperatorSetup(m_store, m_till.clerks().accessLevel(), m_till.ui(), form);
    });
    m_router.set(kPurgeHistory, [this] {
        if (m_till.ui().message("All history will be purged and the transaction set to 1",
                                "Important", Ui::Icon::kWarning,
                                Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
            return;
        for (const Status& s : m_store.purgeAllHistory()) m_till.show(s);
        if (Status s = m_store.journal().ensureDayFolders(m_store.clock().now()); !s)
            m_till.show(s);
        m_till.ui().inform("Complete", "Transaction history purge");
    });
    m_router.set(kConfiguration, [this] {
        std::string failure;
        if (!ConfigurationDialog::edit(m_store, this, &failure) && !failure.empty())
            m_till.ui().error(failure, kTitleProblem);
    });
    registerUtilityCommands(m_router, m_store, m_till.ui(), this);
    static CurlFtp ftp;
    ExchangeWiring exchange;
    exchange.ftp = &ftp;
    exchange.closeDown = [this] {
        m_skipCloseDown = true;
        QCoreApplication::exit(0);
    };
    exchange.restoreTitle = [this] { refresh(); };
    registerExchangeCommands(m_router, m_store, m_till.ui(), this, std::move(exchange));
}

TenderPanelWidget* MainWindow::openPanel() const {
    return m_panel && !m_panel->finished() ? m_panel.data() : nullptr;
}

void MainWindow::keypad(int command) {
    TenderPanelWidget* panel = openPanel();
    QLineEdit* box = panel ? panel->amountBox() : m_entry;
    if (!box) return;
    if (command == kKeypadClear)
        box->clear();
    else if (command == kKeypadErase)
        box->backspace();
    else
        box->insert(QString::number(command - kKeypadFirst));
    box->end(false);
    if (panel)
        panel->focusAmount();
    else
        box->setFocus();
}

// Shows the widget of the till's open panel when there is one and no widget
// shows it yet. The window owns the widget; it deletes itself once done.
void MainWindow::showPanels() {
    if (openPanel()) return;
    TenderPanelWidget* w = makePanelWidget(m_till, m_till.openPanel(), this);
    if (!w) return;
    m_panel = w;
    connect(w, &TenderPanelWidget::closed, this, [this, w] {
        if (m_panel == w) m_panel.clear();
        // A split's OK opens the cash panel for the cash part next.
        QMetaObject::invokeMethod(
            this,
            [this] {
                showPanels();
                refresh();
                if (!openPanel()) m_entry->setFocus();
            },
            Qt::QueuedConnection);
    });
    w->adjustSize();
    w->move(x() + (width() - w->width()) / 2, y() + 120);
    w->show();
    w->focusAmount();
}

void MainWindow::runCommand(int command) {
    const CommandRouter::Outcome outcome = m_router.route(command);
    if (m_router.takeEntryUsed()) m_entry->clear();
    if (outcome == CommandRouter::Outcome::kFocusPanel && openPanel()) {
        openPanel()->focusAmount();
        return;
    }
    showPanels();
    refresh();
    if (TenderPanelWidget* panel = openPanel())
        panel->focusAmount();
    else if (command < kKeypadFirst || command > kKeypadErase)
        m_entry->setFocus();
}

void MainWindow::enter() {
    const std::string text = fromQt(m_entry->text());
    // ENTER in an empty box is CR LF at the start; after text, a trailing LF.
    const std::string typed = text.empty() ? std::string("\r\n") : text + "\r\n";
    auto result = m_router.processEntry(typed, false);
    if (result.emptyBox) m_entry->clear();
    refresh();
    m_entry->setFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_entry || event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers() & Qt::ControlModifier;
    // While a panel is open the entry box takes nothing: what is typed goes
    // to the panel's amount box, Enter and Esc to the panel.
    if (m_till.tenderState() == TenderState::kPanelOpen) {
        if (key->modifiers() & Qt::AltModifier) return QMainWindow::eventFilter(watched, event);
        showPanels();
        if (TenderPanelWidget* panel = openPanel()) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                panel->ok();
            else if (key->key() == Qt::Key_Escape)
                panel->cancel();
            else if (key->key() == Qt::Key_Backspace)
                panel->amountBox()->backspace();
            else if (!control && key->text().size() == 1 && key->text().at(0).isDigit())
                panel->amountBox()->insert(key->text());
            if (TenderPanelWidget* still = openPanel()) still->focusAmount();
        }
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        enter();
        return true;
    }
    static const std::map<int, Key> kKeys = {
        {Qt::Key_F1, Key::kF1},     {Qt::Key_F2, Key::kF2},   {Qt::Key_F3, Key::kF3},
        {Qt::Key_F4, Key::kF4},     {Qt::Key_F5, Key::kF5},   {Qt::Key_F6, Key::kF6},
        {Qt::Key_F7, Key::kF7},     {Qt::Key_F8, Key::kF8},   {Qt::Key_F9, Key::kF9},
        {Qt::Key_F10, Key::kF10},   {Qt::Key_F11, Key::kF11}, {Qt::Key_F12, Key::kF12},
        {Qt::Key_Left, Key::kLeft}, {Qt::Key_Up, Key::kUp},   {Qt::Key_Right, Key::kRight},
        {Qt::Key_Down, Key::kDown}};
    if (auto it = kKeys.find(key->key()); it != kKeys.end()) {
        if (it->second == Key::kF1) {
            runCommand(kHelpContents);
            return true;
        }
        if (auto command = commandForKey(it->second, false)) runCommand(*command);
        return true;
    }
    if (control && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) {
        // Control combinations are shortcuts; the box never keeps them.
        m_entry->clear();
        if (auto command = commandForKey(Key::kLetter, true,
                                         static_cast<char>('A' + (key->key() - Qt::Key_A))))
            runCommand(*command);
        return true;
    }
    if (control) {
        m_entry->clear();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showTipOfTheDay() {
    static const char* const kTips[] = {
        "Type an item number and press ENTER to add it to the basket.",
        "Press ENTER in an empty entry box to search the item descriptions.",
        "F5 opens the cash panel: type the amount in cents, or press a quick amount.",
        "The keypad types into the cash panel's amount box while the panel is open.",
        "Repeat adds the last item again: type a quantity first to add several.",
        "Void removes the highlighted line; Clear empties the whole basket.",
        "Change basket table (Ctrl+W) parks a basket while you serve someone else.",
        "The picture buttons show one category at a time: Left and Right change it.",
        "F9 logs the clerk off and on again.",
        "Refund basket takes back the items in the basket, with or without restocking.",
    };
    constexpr int kCount = static_cast<int>(sizeof kTips / sizeof kTips[0]);
    int number = m_store.config().record().counters[kCounterTipNumber];
    const bool showing = m_store.config().record().counters[kCounterTipsOff] == 0;
    QDialog d(this);
    d.setWindowTitle("Tip of the day");
    auto* layout = new QVBoxLayout(&d);
    auto* tip = new QLabel(&d);
    tip->setWordWrap(true);
    tip->setMinimumSize(360, 80);
    QFont f = tip->font();
    f.setPixelSize(16);
    tip->setFont(f);
    layout->addWidget(tip);
    auto* show = new QCheckBox("Show tips at start", &d);
    show->setChecked(showing);
    layout->addWidget(show);
    auto* row = new QHBoxLayout;
    auto* next = new QPushButton("Next tip", &d);
    auto* close = new QPushButton("Close", &d);
    row->addWidget(next);
    row->addWidget(close);
    layout->addLayout(row);
    auto showTip = [&] { tip->setText(kTips[((number % kCount) + kCount) % kCount]); };
    connect(next, &QPushButton::clicked, &d, [&] {
        ++number;
        showTip();
    });
    connect(close, &QPushButton::clicked, &d, &QDialog::accept);
    showTip();
    d.exec();
    m_till.show(storeTipOfTheDay(m_store, number + 1, show->isChecked()));
}

void MainWindow::logOn() {
    LogOnDialog dialog(m_till, this);
    dialog.exec();
    refresh();
    m_entry->setFocus();
}

bool MainWindow::tipsAtStart() const {
    return m_store.config().record().counters[kCounterTipsOff] == 0;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_router.confirmExit()) {
        event->ignore();
        return;
    }
    if (TenderPanelWidget* panel = openPanel()) panel->cancel();
    event->accept();
}

}  // namespace kassio
