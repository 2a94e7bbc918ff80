// The free-text and wireless windows through their controls, over the main
// window and the simulated encoder.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "KS_ListWindow.h"
#include "KS_MainForm.h"
#include "KS_MessageWindows.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_WindowRegistry.h"
#include "TableFixture.h"

using Lines = std::vector<std::string>;

namespace {

const std::string kFire = "FIRE                          ";
const std::string kEvac = "Evacuate west wing            ";

struct KeywordDeviceWindow : testing::Test {
    KeywordDeviceWindow() { RegisterMessageWindows(); }

    // A unit of the letter and firmware with eight slots in each table.
    void load(char letter, const char* version)
    {
        harness.engine.SetModel(letter);
        harness.engine.EditProfile().version = version;
        harness.engine.EditProfile().freetext.size = 8;
        harness.engine.EditProfile().wireless.size = 8;
        harness.Load();
    }
    KS_PPM_MessagesTable& open(std::string_view form)
    {
        auto* window = static_cast<KS_PPM_MessagesTable*>(CreateRegisteredWindow(form, &harness.form()));
        harness.form().OpenOwnedWindow(window, false);
        harness.HostLines();
        return *window;
    }
    // Opens the edit dialog on the row, lets `fill` set its fields and clicks Ok;
    // returns the dialog's caption and whether it was still open afterwards.
    std::pair<QString, bool> edit(KS_PPM_MessagesTable& list, int row, const char* editForm,
                                  const std::function<void(QDialog&)>& fill)
    {
        QString caption;
        bool stayed = false;
        SelectListRow(list.lvwMessages, list.lvwMessages->topLevelItem(row));
        QTimer::singleShot(0, [&] {
            auto* dialog = list.findChild<QDialog*>(editForm);
            if (!dialog)
                return;
            caption = dialog->windowTitle();
            fill(*dialog);
            dialog->findChild<QPushButton*>("cmdOk")->click();
            stayed = dialog->isVisible();
            if (stayed)
                dialog->findChild<QPushButton*>("cmdCancel")->click();
        });
        list.lvwMessages_DblClick();
        return {caption, stayed};
    }
    static QStringList rowTexts(const QTreeWidget* list, int row)
    {
        QStringList texts;
        for (int c = 0; c < list->columnCount(); ++c)
            texts << list->topLevelItem(row)->text(c);
        return texts;
    }
    static void type(QDialog& d, const char* box, const QString& text)
    {
        auto* edit = d.findChild<QLineEdit*>(box);
        edit->setText(text);
        emit edit->editingFinished();
    }
    ConsoleHarness harness;
};

TEST_F(KeywordDeviceWindow, FreetextWindowListsTheExtendedLayoutAndSavesAnEntry)
{
    harness.engine.PutFreetext(2, {.keyword = kFire, .pager = 12, .message = kEvac, .replace = true});
    load('R', "1.00");
    KS_PPM_MessagesTable& list = open(FormName::MessagesFreetext);
    EXPECT_EQ(list.windowTitle(), "Freetext Messages");
    EXPECT_EQ(list.lvwMessages->headerItem()->text(4), "Replace Keyword");
    EXPECT_EQ(rowTexts(list.lvwMessages, 1),
              (QStringList{"02", "012", ToQString(kFire), ToQString(kEvac), "Yes"}));

    const auto [caption, stayed] = edit(list, 4, "KS_PPM_MessagesFreetextAdd", [](QDialog& d) {
        type(d, "txtUserID", "12");
        type(d, "txtKeyword", "  FIRE");
        type(d, "txtMessage", "Lobby ");
        d.findChild<QCheckBox*>("chkReplaceKeyword")->setChecked(false);
    });
    EXPECT_EQ(caption, "Freetext Messages - Freetext 05 - Update");
    EXPECT_FALSE(stayed);
    EXPECT_EQ(harness.HostLines(), Lines{"F05" + kFire + "012" + "Lobby                         " + "N1W"});
    EXPECT_EQ(readFile("PPM_Freetext.DBS").substr(280, 70),
              "05 012" + kFire + "Lobby                         " + std::string(4, '\0'));
    EXPECT_EQ(rowTexts(list.lvwMessages, 4),
              (QStringList{"05", "012", ToQString(kFire), "Lobby                         ", "No"}));
    EXPECT_TRUE(harness.messages.shown().empty());
}

TEST_F(KeywordDeviceWindow, FreetextDialogRefusesAnEmptyPagerAndANoToAFailedSendChangesNothing)
{
    load('Y', "2.10");
    KS_PPM_MessagesTable& list = open(FormName::MessagesFreetext);
    const std::string file = readFile("PPM_Freetext.DBS");
    const QStringList row = rowTexts(list.lvwMessages, 0);

    harness.messages.Answer(kAnswerOk);
    EXPECT_TRUE(edit(list, 0, "KS_PPM_MessagesFreetextAdd", [](QDialog& d) {
                    d.findChild<QLineEdit*>("txtUserID")->clear();
                }).second);
    EXPECT_EQ(harness.messages.texts(), Lines{"Pager is not valid. Please confirm Pager No."});

    harness.engine.AddFault(lastingFault(sim::FaultKind::Refuse, "F01", sim::MatchMode::Prefix));
    harness.messages.Answer(kAnswerNo);
    EXPECT_TRUE(edit(list, 0, "KS_PPM_MessagesFreetextAdd", [](QDialog& d) { type(d, "txtKeyword", "SMOKE"); })
                    .second);
    EXPECT_EQ(harness.HostLines().front(), "F01SMOKE                         0000W");
    EXPECT_EQ(readFile("PPM_Freetext.DBS"), file);
    EXPECT_EQ(rowTexts(list.lvwMessages, 0), row);
}

TEST_F(KeywordDeviceWindow, WirelessWindowShowsEitherCodeAndSavesInTheUnitsLayout)
{
    harness.engine.PutWireless(7, {.message = kEvac, .pager = 5, .deviceCode = 1234567, .repeatMinutes = 15,
                                   .plan = 3, .supervised = true, .call = 'T'});
    load('X', "3.2");
    KS_PPM_MessagesTable& list = open(FormName::MessagesWireless);
    EXPECT_EQ(list.windowTitle(), "Wireless Devices Messages");
    EXPECT_EQ(list.lvwMessages->columnWidth(7), 0);
    EXPECT_EQ(rowTexts(list.lvwMessages, 6),
              (QStringList{"007", "1234567", "000", "005", "15 Min.", ToQString(kEvac), "Yes", "3", "3"}));

    const auto [caption, stayed] = edit(list, 6, "KS_PPM_MessagesWirelessAdd", [](QDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("cmbCallType")->currentText(), "Tamper");
        EXPECT_EQ(d.findChild<QComboBox*>("cmbRepeatTime")->currentText(), "15 Min.");
        type(d, "txtDeviceCode", "123");
        EXPECT_EQ(d.findChild<QLineEdit*>("txtDeviceCode")->text(), "0000123");
        type(d, "txtCancelDeviceCode", "");
        d.findChild<QComboBox*>("cmbCallType")->setCurrentText("None");
    });
    EXPECT_EQ(caption, "Wireless Devices - Device 007 - Update");
    EXPECT_FALSE(stayed);
    EXPECT_EQ(harness.HostLines(), Lines{"W007" + kEvac + "005" + "0000123" + "15" + "3" + "Y" + "1" + "1" + "W"});
    EXPECT_EQ(readFile("PPM_Wireless.DBS").substr(660, 54),
              "007005" + kEvac + "15" + "123" + "000" + "Y3" + "0000123" + "4");
    EXPECT_EQ(rowTexts(list.lvwMessages, 6),
              (QStringList{"007", "0000123", "000", "005", "15 Min.", ToQString(kEvac), "Yes", "3", "0"}));
}

TEST_F(KeywordDeviceWindow, WirelessDialogRefusesACodeTheShortLayoutCannotCarry)
{
    load('Y', "2.10");
    KS_PPM_MessagesTable& list = open(FormName::MessagesWireless);
    const std::string file = readFile("PPM_Wireless.DBS");
    harness.messages.Answer(kAnswerOk);
    EXPECT_TRUE(edit(list, 0, "KS_PPM_MessagesWirelessAdd", [](QDialog& d) { type(d, "txtDeviceCode", "1234"); })
                    .second);
    EXPECT_EQ(harness.messages.texts(),
              Lines{"Device code 1234 of device 001 cannot be sent to the QX8140E, which takes device codes of up to "
                    "999. Nothing was sent to the QX8140E."});
    EXPECT_EQ(harness.HostLines(), Lines{});
    EXPECT_EQ(readFile("PPM_Wireless.DBS"), file);
}

} // namespace
