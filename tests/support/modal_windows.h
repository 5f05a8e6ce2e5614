// Helpers of the Qt window tests. A modal window shows inside a nested
// event loop, so the test's act on it runs from a timer once it is up.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

namespace kassio::test {

// Acts on the modal window as soon as it shows (the first that `is` takes).
inline void whenModal(
    std::function<void(QWidget*)> act,
    std::function<bool(QWidget*)> is = [](QWidget*) { return true; }) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act, is] {
        if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible() && is(w)) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start(10);
}

// Answers a file chooser with path. The name box takes the whole path:
// QFileDialog::selectFile leaves the box alone while it has the keyboard
// focus, which depends on when the window was activated, and the chooser
// would then return the name it opened with. QDialog's own accept, because
// QFileDialog's checks the name against its folder listing, which may still
// be loading, and may then only open the folder and wait on.
inline void answerFileChooser(QWidget* w, const std::string& path) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
    const QString chosen = QString::fromStdString(path);
    const QFileInfo info(chosen);
    dialog->setDirectory(info.isDir() ? chosen : info.absolutePath());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    // A row left chosen in the listing would be returned before the name.
    for (auto* view : dialog->findChildren<QAbstractItemView*>())
        if (view->selectionModel()) view->selectionModel()->clearSelection();
    name->setText(chosen);
    dialog->QDialog::accept();
}

// Shows the till's main window at the smallest screen it is made for (the
// offscreen screen is smaller than the till) and waits until it is up.
inline void showTillWindow(QWidget& window) {
    window.resize(1024, 746);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
}

// The window's push button with this text; a test failure when there is none.
inline QPushButton* button(QWidget* w, const QString& text) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

}  // namespace kassio::test
