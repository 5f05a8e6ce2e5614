// The till's main window, "KASSIO": toolbar, entry box, basket list,
// totals panel, till buttons, keypad, category and quick-select picture
// buttons, function buttons and the menu tree. A shell over the engine:
// every button, key and menu item becomes a command number for the core
// router; the window only shows what the Till holds.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>

#include <map>
#include <vector>

namespace kassio {

class CommandRouter;
class DataStore;
class Till;
class TenderPanelWidget;
class TillButton;
struct MenuItem;

class TotalsWidget final : public QWidget {
    Q_OBJECT
  public:
    TotalsWidget(Till& till, QWidget* parent);
    QSize sizeHint() const override { return {380, 150}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    Till& m_till;
};

class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    enum class Station { kMain, kClient };
    // A client station's window leaves out the commands that need the
    // shop's files and says, on their greyed items, where they run.
    MainWindow(DataStore& store, Till& till, CommandRouter& router, QWidget* parent = nullptr,
               Station station = Station::kMain);
    ~MainWindow() override;

    // A client station's line in the status bar: whether the main station
    // answers and how many sales wait for it; `alarm` shows it in red.
    void showStationState(const QString& text, bool alarm);
    QString stationState() const;
    static constexpr const char* kAtMainStation = "Runs at the main station";

    // Runs one command as a button, key or menu item would.
    void runCommand(int command);
    // Redraws the basket rows, totals, quick-select page, title and menus.
    void refresh();
    // After more commands were registered: enables their toolbar buttons.
    void commandsChanged();
    // Opens the log-on panel (after the splash, F9, "User control").
    void logOn();
    // The tip-of-the-day panel (at start unless switched off, and on Help).
    void showTipOfTheDay();
    bool tipsAtStart() const;

    QLineEdit* entryBox() const { return m_entry; }
    QListWidget* basketList() const { return m_basket; }
    // The widget of the open modeless panel, null when none shows.
    TenderPanelWidget* openPanel() const;
    TillButton* button(int command) const;
    QAction* menuAction(int command) const;
    int visibleQuickSelect() const { return static_cast<int>(m_quick.size()); }
    // After a restore or an import: the program ends without its close-down
    // writes, which would put this run's memory over the new files.
    bool skipCloseDown() const { return m_skipCloseDown; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildToolbar();
    void buildMenus();
    QWidget* buildTillArea();
    void registerWindowCommands();
    void layoutQuickSelect();
    void showPanels();
    void keypad(int command);
    void enter();
    void updateMenu(QMenu* menu);

    DataStore& m_store;
    Till& m_till;
    CommandRouter& m_router;
    QLineEdit* m_entry = nullptr;
    QListWidget* m_basket = nullptr;
    TotalsWidget* m_totals = nullptr;
    QWidget* m_quickArea = nullptr;
    std::vector<TillButton*> m_quick;
    int m_quickColumns = 0;
    std::vector<TillButton*> m_categories;
    std::map<int, TillButton*> m_buttons;
    std::map<int, QAction*> m_actions;
    std::map<int, QAction*> m_tools;
    std::map<QAction*, const MenuItem*> m_items;
    QPointer<TenderPanelWidget> m_panel;
    bool m_skipCloseDown = false;
    Station m_station = Station::kMain;
    QLabel* m_stationState = nullptr;
};

}  // namespace kassio
