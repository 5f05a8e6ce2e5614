// The Qt back-office dialogs on the offscreen platform: what the clerk
// types and presses comes back in the core values.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

#include "devices/device_fakes.h"
#include "support/modal_windows.h"
#include "support/qt_settings.h"
#include "ui/backoffice/qt_customer_forms.h"
#include "ui/backoffice/qt_item_forms.h"

namespace kassio {
namespace {

// Runs act on the next modal dialog once it is shown.
void whenShown(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            whenShown(act);
            return;
        }
        act(w);
    });
}

QPushButton* button(QWidget* dialog, const QString& text) {
    for (auto* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

TEST(QtForms, ItemFormGivesBackItsFieldsAndButton) {
    StoreConfig config;
    config.record().options[kOptTax1Rate] = 2000;
    QtItemForms forms(config, nullptr);
    ItemFormRequest request;
    request.fields = blankItemFields(config, {2026, 12, 6});
    request.fields.number = "41";
    request.fields.description = "TEA";
    request.fields.tax1Box = true;
    whenShown([](QWidget* d) {
        auto edits = d->findChildren<QLineEdit*>();
        // The ready reckoner: 12.00 with tax 1 at 20 % is 10.00 without.
        for (QLineEdit* e : edits)
            if (e->maxLength() == 9) {
                e->setText("12.00");
                emit e->textEdited("12.00");
            }
        button(d, "Back")->click();
        button(d, "&Next")->click();
    });
    ItemFormReply reply = forms.itemForm(request);
    EXPECT_EQ(reply.button, FormButton::kNext);
    EXPECT_EQ(reply.fields.number, "41");
    EXPECT_EQ(reply.fields.description, "TEA");
    EXPECT_EQ(reply.fields.retail, "10.00");
    EXPECT_EQ(reply.fields.pictureNumber, 2);
    EXPECT_EQ(reply.fields.day, 6);

    request.presentation = ItemFormPresentation::kAmend;
    whenShown([](QWidget* d) {
        EXPECT_EQ(button(d, "&Next"), nullptr);
        d->close();
    });
    EXPECT_EQ(forms.itemForm(request).button, FormButton::kCancel);
}

TEST(QtForms, NumberOrNameUpperCasesAndCancels) {
    QtCustomerForms forms(nullptr);
    whenShown([](QWidget* d) {
        QLineEdit* e = d->findChild<QLineEdit*>();
        e->setText("smith");
        emit e->textEdited("smith");
        button(d, "OK")->click();
    });
    EXPECT_EQ(forms.numberOrName("Find customer", "Number / name"), "SMITH");
    whenShown([](QWidget* d) { button(d, "Cancel")->click(); });
    EXPECT_EQ(forms.numberOrName("Find customer", "Name"), std::nullopt);
    whenShown([](QWidget* d) {
        d->findChild<QLineEdit*>()->clear();
        button(d, "OK")->click();
    });
    EXPECT_EQ(forms.amountPrompt("7 J SMITH, owed:", "25.50"), "");
}

// Typed into the form: the customer's texts turn to capitals except the
// e-mail address and the notes, which keep the case they were typed in (an
// address's local part may depend on it).
TEST(QtForms, CustomerFormCapitalisesAllButTheEmailAndTheNotes) {
    QtCustomerForms forms(nullptr);
    CustomerFormRequest request;
    request.fields.number = "7";
    const std::pair<QString, QString> typed[] = {{"Name", "j smith"},
                                                 {"Town", "leeds"},
                                                 {"Email", "Jo.Smith@Example.com"},
                                                 {"Comment", "pays late"},
                                                 {"Notes", "Ring on Tuesdays"}};
    whenShown([&typed](QWidget* d) {
        for (auto* form : d->findChildren<QFormLayout*>())
            for (int row = 0; row < form->rowCount(); ++row) {
                auto* label = form->itemAt(row, QFormLayout::LabelRole);
                auto* field = form->itemAt(row, QFormLayout::FieldRole);
                auto* name = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
                auto* edit = field ? qobject_cast<QLineEdit*>(field->widget()) : nullptr;
                if (!name || !edit) continue;
                for (const auto& [which, text] : typed)
                    if (name->text() == which && edit->text().isEmpty()) {
                        edit->setText(text);
                        emit edit->textEdited(text);  // as a keystroke reports it
                    }
            }
        button(d, "OK")->click();
    });
    CustomerFormReply reply = forms.customerForm(request);
    EXPECT_EQ(reply.button, FormButton::kOk);
    EXPECT_EQ(reply.fields.name, "J SMITH");
    EXPECT_EQ(reply.fields.town, "LEEDS");
    EXPECT_EQ(reply.fields.comment, "PAYS LATE");
    EXPECT_EQ(reply.fields.email, "Jo.Smith@Example.com");
    EXPECT_EQ(reply.fields.notes, "Ring on Tuesdays");
}

TEST(QtForms, AListThatCannotPrintSaysSoAndOnePrintedSaysNothing) {
    StoreConfig config;
    test::FakePrinters printers;
    QtItemForms forms(config, nullptr);
    forms.setPrinters(&printers);
    const PagedText list{{{"Inventory", "1 BREAD", "2 MILK"}}};

    // Prints the list, answering the warning box it should show.
    std::string said;
    auto printAnsweringTheBox = [&] {
        said.clear();
        test::whenModal(
            [&](QWidget* w) {
                said = static_cast<QMessageBox*>(w)->text().toStdString();
                static_cast<QMessageBox*>(w)->accept();
            },
            [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
        forms.print(list);
    };
    printers.refuseDocuments = true;
    printAnsweringTheBox();
    EXPECT_FALSE(said.empty());

    printers.refuseDocuments = false;
    printers.releaseFails = true;
    printAnsweringTheBox();
    EXPECT_EQ(said, "Unable to release printer");
    ASSERT_EQ(printers.documents.size(), 1u);

    // A box now would be a false alarm; it is closed so the test goes on.
    printers.releaseFails = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << box->text().toStdString();
            box->reject();
        }
    });
    guard.start(200);
    forms.print(list);
    EXPECT_EQ(printers.documents.size(), 2u);
}

}  // namespace
}  // namespace kassio

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto settings = kassio::test::privateQtSettings();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
