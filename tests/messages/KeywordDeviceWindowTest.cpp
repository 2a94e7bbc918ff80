// The free-text and wireless windows through their controls, over the main
// window and the simulated encoder.
#include <QClipboard>
#include <QHeaderView>

#include "ListColumns.h"
#include "KS_AlarmTable.h"
#include "TableFixture.h"

namespace {

const std::string kFire = padded("FIRE");
const std::string kEvac = padded("Evacuate west wing");
const std::string kDoor = padded("Door open");

TEST(KeywordDeviceWindow, FreetextRowOpensTrimmedAndSavesInTheExtendedLayout)
{
    WindowRig t;
    t.harness.engine.PutFreetext(2, {.keyword = padded("  FIRE"), .pager = 12, .message = kEvac, .replace = true});
    t.load('R', "1.00", 8);
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFreetext);
    EXPECT_EQ(rowTexts(list.lvwMessages, 1), (QStringList{"02", "012", "  FIRE                        ",
                                                          ToQString(kEvac), "Yes"}));
    t.edit(list, 1, [](QDialog& d) {
        EXPECT_EQ(QStringList({shown(d, "txtUserID"), shown(d, "txtKeyword"), shown(d, "txtMessage"),
                               shown(d, "chkReplaceKeyword")}),
                  QStringList({"012", "FIRE", "Evacuate west wing", "1"}));
        EXPECT_EQ(selectsOnFocus(d, {"txtUserID", "txtKeyword", "txtMessage"}), (std::vector{true, true, false}));
        type(d, "txtUserID", "7");
        type(d, "txtMessage", "Lobby ");
        d.findChild<QCheckBox*>("chkReplaceKeyword")->setChecked(false);
    });
    EXPECT_EQ(t.harness.HostLines(), Lines{"F02" + kFire + "007" + padded("Lobby") + "N1W"});
    EXPECT_EQ(readFile("PPM_Freetext.DBS").substr(70, 70), "02 007" + kFire + padded("Lobby") + std::string(4, '\0'));
    EXPECT_EQ(rowTexts(list.lvwMessages, 1), (QStringList{"02", "007", "FIRE", "Lobby", "No"}));
    EXPECT_TRUE(t.harness.messages.shown().empty());
}

// An unacknowledged entry is kept in the file only on Yes.
TEST(KeywordDeviceWindow, FreetextDialogRefusesAnEmptyPagerAndAFailedSendAsks)
{
    WindowRig t;
    t.load('Y', "2.10", 8);
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFreetext);
    const std::string file = readFile("PPM_Freetext.DBS");
    const QStringList row = rowTexts(list.lvwMessages, 0);

    t.harness.messages.Answer(kAnswerOk);
    EXPECT_TRUE(t.edit(list, 0, [](QDialog& d) { d.findChild<QLineEdit*>("txtUserID")->clear(); }));
    EXPECT_EQ(t.harness.messages.texts(), Lines{"Pager is not valid. Please confirm Pager No."});

    t.harness.engine.AddFault(lastingFault(sim::FaultKind::Refuse, "F01"));
    t.harness.messages.Answer(kAnswerNo);
    EXPECT_TRUE(t.edit(list, 0, [](QDialog& d) { type(d, "txtKeyword", "SMOKE"); }));
    EXPECT_EQ(t.harness.HostLines().front(), "F01" + padded("SMOKE") + "0000W");
    EXPECT_EQ(readFile("PPM_Freetext.DBS"), file);
    EXPECT_EQ(rowTexts(list.lvwMessages, 0), row);
    t.harness.messages.Answer(kAnswerYes);
    EXPECT_FALSE(t.edit(list, 0, [](QDialog& d) { type(d, "txtKeyword", "SMOKE"); }));
    EXPECT_EQ(readFile("PPM_Freetext.DBS").substr(0, 36), "01 000" + padded("SMOKE"));
    EXPECT_EQ(t.harness.messages.texts().back(),
              "Connection to QX8140E cannot be established. Click Yes to continue and update the database on the hard "
              "drive only, No to cancel this operation.");
}

TEST(KeywordDeviceWindow, ALineBreakPastedIntoTheKeywordBecomesASpaceAndNoPageGoesOut)
{
    WindowRig t;
    t.load('Y', "2.10", 8);
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesFreetext);
    EXPECT_FALSE(t.edit(list, 0, [](QDialog& d) {
        auto* box = d.findChild<QLineEdit*>("txtKeyword");
        box->selectAll();
        QApplication::clipboard()->setText("FIRE\rP999X");
        box->paste();
        EXPECT_EQ(box->text(), "FIRE P999X");
    }));
    EXPECT_EQ(t.harness.HostLines(), Lines{"F01" + padded("FIRE P999X") + "0000W"});
    EXPECT_EQ(readFile("PPM_Freetext.DBS").substr(0, 36), "01 000" + padded("FIRE P999X"));
}

// What stops a column from showing whole: a caption or a text that needs more
// than the column has, a text drawn cut short, or a column past the list's right edge.
QStringList cutColumns(const QTreeWidget* list)
{
    QStringList cut;
    const QHeaderView* header = list->header();
    for (int column = 0; column < list->columnCount(); ++column) {
        if (list->isColumnHidden(column))
            continue;
        const int width = list->columnWidth(column);
        const QString caption = list->headerItem()->text(column);
        if (header->fontMetrics().horizontalAdvance(caption) > HeaderCaptionRoom(list, column))
            cut << "header " + caption;
        if (list->columnViewportPosition(column) + width > list->viewport()->width())
            cut << "column " + caption + " past the edge";
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QString text = list->topLevelItem(row)->text(column);
            const QFontMetrics metrics = list->fontMetrics();
            const int available = width - list->sizeHintForIndex(list->model()->index(row, column)).width()
                                + metrics.horizontalAdvance(text);
            if (metrics.horizontalAdvance(text.trimmed()) > available
                || metrics.elidedText(text, list->textElideMode(), available) != text)
                cut << "\"" + text + "\"";
        }
    }
    return cut;
}

// Each text of a row read from the unit (padded as the unit sends it) and of a
// row saved longer than the list held so far shows whole, at the desktop font
// and at a larger one: the window widens as far as its screen allows.
TEST(KeywordDeviceWindow, LoadedAndSavedTextsShowWholeAtEitherFont)
{
    const QString alarm = "FIRE ALARM BUILDING 3 NORTH WI";
    const QString evacuate = "Evacuate west wing";
    const QFont font = QApplication::font();
    for (double scale : {1.0, 1.35}) {
        QFont scaled = font;
        scaled.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(scaled);
        for (const auto& [form, columns] : {std::pair{FormName::MessagesFreetext, std::vector{2, 3}},
                                            std::pair{FormName::MessagesWireless, std::vector{5}}}) {
            SCOPED_TRACE(std::string(form) + " at " + std::to_string(scale));
            QDir(QString::fromStdString(MakeDataFolder())).removeRecursively();
            WindowRig t;
            t.harness.engine.PutFreetext(2, {.keyword = kFire, .pager = 12, .message = kEvac, .replace = true});
            t.harness.engine.PutWireless(2, {.message = kEvac, .pager = 5, .deviceCode = 1234567, .supervised = true});
            t.load('X', "3.2", 8);
            KS_PPM_MessagesTable& list = t.open(form);
            QCoreApplication::processEvents();
            EXPECT_EQ(cutColumns(list.lvwMessages).join("; ").toStdString(), "");
            // Two texts of 30 capitals at the larger font would need more than the screen.
            t.edit(list, 2, [&](QDialog& d) {
                auto* keyword = d.findChild<QLineEdit*>("txtKeyword");
                d.findChild<QLineEdit*>("txtMessage")->setText(keyword ? evacuate : alarm);
                if (keyword)
                    keyword->setText(alarm);
            });
            QCoreApplication::processEvents();
            for (int column : columns)
                EXPECT_EQ(list.lvwMessages->topLevelItem(2)->text(column), column == 3 ? evacuate : alarm);
            EXPECT_EQ(cutColumns(list.lvwMessages).join("; ").toStdString(), "");
            list.close();
        }
    }
    QApplication::setFont(font);
}

TEST(KeywordDeviceWindow, WirelessRowShowsEitherCodeAndOpensItsListEntries)
{
    WindowRig t;
    t.harness.engine.PutWireless(7, {.message = kEvac, .pager = 5, .deviceCode = 1234567, .repeatMinutes = 15,
                                     .plan = 3, .supervised = true, .call = 'T'});
    t.load('X', "3.2", 8);
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesWireless);
    EXPECT_EQ(rowTexts(list.lvwMessages, 6),
              (QStringList{"007", "1234567", "000", "005", "15 Min.", ToQString(kEvac), "Yes", "3", "3"}));
    t.edit(list, 6, [](QDialog& d) {
        EXPECT_EQ(QStringList({shown(d, "cmbCallType"), shown(d, "cmbRepeatTime"), shown(d, "cmbActiviationPlan"),
                               shown(d, "txtMessage")}),
                  QStringList({"Tamper", "15 Min.", "3 - Daily, 8PM-6AM", "Evacuate west wing"}));
    }, false);
}

TEST(KeywordDeviceWindow, WirelessRowOfAnEmptyMessageShowsAnEmptyCell)
{
    WindowRig t;
    t.load('X', "3.2", 8);
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesWireless);
    EXPECT_EQ(list.lvwMessages->topLevelItem(0)->text(5), "");
}

// The same entry typed on every layout: what goes out, what the file keeps
// (both codes, and the call type the layout can carry) and the row.
TEST(KeywordDeviceWindow, WirelessDialogSavesInEachLayout)
{
    struct Case {
        char letter;
        const char* version;
        const char* callType;
        std::string line;
        const char* stored; // the call-type code the file keeps
        QString row;        // the hidden call-type column
    } cases[] = {
        {'B', "2.10", "Tamper", "W007005" + kDoor + "15123YW", "1", "3"},
        {'Y', "2.10", "Tamper", "W007" + kDoor + "005123045153Y1W", "1", "3"},
        {'X', "3.16", "Tamper", "W007" + kDoor + "0050000123153YN1W", "1", "3"},
        {'X', "3.2", "None", "W007" + kDoor + "0050000123153Y11W", "4", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.version);
        WindowRig t;
        t.load(c.letter, c.version, 8);
        KS_PPM_MessagesTable& list = t.open(FormName::MessagesWireless);
        EXPECT_FALSE(t.edit(list, 6, [&c](QDialog& d) {
            type(d, "txtDeviceCode", "123");
            EXPECT_EQ(d.findChild<QLineEdit*>("txtDeviceCode")->text(), "0000123");
            type(d, "txtCancelDeviceCode", "45");
            type(d, "txtUserID", "5");
            type(d, "txtMessage", "  Door open");
            d.findChild<QComboBox*>("cmbRepeatTime")->setCurrentText("15 Min.");
            d.findChild<QComboBox*>("cmbActiviationPlan")->setCurrentIndex(3);
            d.findChild<QComboBox*>("cmbCallType")->setCurrentText(c.callType);
            d.findChild<QCheckBox*>("chkSupervised")->setChecked(true);
        }));
        EXPECT_EQ(t.harness.HostLines(), Lines{c.line});
        EXPECT_EQ(readFile("PPM_Wireless.DBS").substr(660, 54),
                  "007005" + kDoor + "15" + "123" + "045" + "Y3" + "0000123" + c.stored);
        EXPECT_EQ(list.lvwMessages->topLevelItem(6)->text(8), c.row);
    }
}

TEST(KeywordDeviceWindow, WirelessDialogRefusesACodeTheShortLayoutCannotCarry)
{
    WindowRig t;
    t.load('Y', "2.10", 8);
    KS_PPM_MessagesTable& list = t.open(FormName::MessagesWireless);
    const std::string file = readFile("PPM_Wireless.DBS");
    t.harness.messages.Answer(kAnswerOk);
    EXPECT_TRUE(t.edit(list, 0, [](QDialog& d) { type(d, "txtDeviceCode", "1234"); }));
    EXPECT_EQ(t.harness.messages.texts(),
              Lines{"Device code 1234 of device 001 cannot be sent to the QX8140E, which takes device codes of up to "
                    "999. Nothing was sent to the QX8140E."});
    EXPECT_EQ(t.harness.HostLines(), Lines{});
    EXPECT_EQ(readFile("PPM_Wireless.DBS"), file);
}

} // namespace

// A line break or tab kept in the file shows as the space it is sent as, the row one line high.
TEST(KeywordDeviceWindow, AStoredControlCharacterShowsAsASpaceInItsRow)
{
    WindowRig t;
    writeFile("PPM_Freetext.DBS", EncodeRecord(FreetextEntry{.No = "01 ", .Pager = "012", .Keyword = padded("FI\tRE"),
                                                             .Message = padded("Gate\r\nB")}));
    writeFile("PPM_Wireless.DBS",
              EncodeRecord(WirelessMessageRecord{.Slot = "001", .Pager = "012", .Message = padded("Gate\r\nB")}));
    writeFile("PPM_Alarm.DBS", EncodeRecord(AlarmPointRecord{.Point = "001", .Pager = "012",
                                                             .Message = padded("Gate\r\nB"),
                                                             .CancelMessage = padded("Gate\tshut")}));
    t.load('X');
    const auto cells = [&t](std::string_view form, std::initializer_list<int> columns) {
        KS_PPM_MessagesTable& list = t.open(form);
        std::string texts;
        for (const int column : columns)
            texts += list.lvwMessages->topLevelItem(0)->text(column).trimmed().toStdString() + "|";
        list.close();
        return texts;
    };
    EXPECT_EQ(cells(FormName::MessagesFreetext, {2, 3}), "FI RE|Gate  B|");
    EXPECT_EQ(cells(FormName::MessagesWireless, {5}), "Gate  B|");
    EXPECT_EQ(cells(FormName::MessagesAlarm, {AlarmColMessage, AlarmColCancelMessage}), "Gate  B|Gate shut|");
}
