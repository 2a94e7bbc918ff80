#include <QClipboard>
#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolBar>

#include "ConsoleHarness.h"
#include "DataFileHelpers.h"
#include "KS_MessageWindows.h"
#include "KS_PPM_MessagesSB.h"
#include "KS_PPM_MessagesSBAdd.h"
#include "KS_SignBoardFile.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

namespace {

struct SignBoardWindows : testing::Test {
    SignBoardWindows() { RegisterMessageWindows(); }
    KS_PPM_MessagesSB& open(bool sendOnly, const char* row)
    {
        if (sendOnly)
            form.cmdSBMessages_Click();
        else
            form.mnuMessagesOptions_Click(8);
        auto* list = form.findChild<KS_PPM_MessagesSB*>();
        EXPECT_TRUE(list && list->isVisible());
        list->lvwMessages->setCurrentItem(list->lvwMessages->findItems(row, Qt::MatchExactly).first());
        return *list;
    }
    KS_PPM_MessagesSBAdd& openEditor(KS_PPM_MessagesSB& list)
    {
        list.cmdUpdate->click();
        auto* editor = list.findChild<KS_PPM_MessagesSBAdd*>();
        EXPECT_NE(editor, nullptr);
        return *editor;
    }
    static void leave(QLineEdit* box, const char* text)
    {
        box->setText(text);
        emit box->editingFinished();
    }
    // Message 12: "Fire drill" on slot 12, large, 9 s, effect 10, 16 characters by 2 lines.
    void storeMessage12()
    {
        std::vector<SignBoardMessage> table;
        ASSERT_TRUE(LoadSignBoardTable(table)); // creates the file
        ASSERT_EQ(WriteSignBoardMessage(12, {.No = "012", .Text = PadRight("Fire drill", 200), .Slot = 12, .Font = 1,
                                             .Delay = 9, .Effect = 10, .CharPerLine = 16, .Lines = 2}),
                  FileError::None);
    }
    ConsoleHarness harness{{{1, "Board", "A"}}};
    KS_MainForm& form = harness.Load();
};

} // namespace

TEST_F(SignBoardWindows, SendOnlyModeHidesUpdateAndClearAllPagesWithTheRowsMessage)
{
    storeMessage12();
    harness.Select({"001"});
    KS_PPM_MessagesSB& list = open(true, "012");
    EXPECT_FALSE(form.centralWidget()->isEnabled());
    EXPECT_FALSE(ToolbarAction(list.tlbMenu, "cmdUpdate")->isVisible());
    EXPECT_FALSE(list.tlbMenu->actions()[3]->isVisible()); // the separator after Update
    EXPECT_FALSE(list.cmdUpdate->isEnabled());
    ASSERT_EQ(list.lvwMessages->topLevelItemCount(), 500);
    EXPECT_EQ(list.lvwMessages->topLevelItem(11)->text(3), "Large");
    list.lvwMessages_DblClick();
    EXPECT_EQ(list.findChild<KS_PPM_MessagesSBAdd*>(), nullptr);

    list.cmdClearAll->click();
    EXPECT_EQ(harness.HostLines(), Lines{"P001*010A*"});
    EXPECT_TRUE(list.lvwMessages->isEnabled());
    list.cmdClose->click();
    EXPECT_TRUE(form.centralWidget()->isEnabled());
}

TEST_F(SignBoardWindows, TheEditorOpensTheRowShapesThePreviewAndSaves)
{
    storeMessage12();
    KS_PPM_MessagesSB& list = open(false, "012");
    KS_PPM_MessagesSBAdd& editor = openEditor(list);
    EXPECT_FALSE(list.lvwMessages->isEnabled());
    const std::pair<QString, QString> opened[] = {
        {editor.txtMessage->toPlainText(), "Fire drill"}, {editor.cmbSlot->currentText(), "12"},
        {editor.cmbFontSize->currentText(), "Large"},     {editor.cmbDelay->currentText(), "9"},
        {editor.cmbEffect->currentText(), "10"},          {editor.txtLines->text(), "2"},
        {editor.txtCharPerLine->text(), "16"}};
    for (const auto& [got, expected] : opened)
        EXPECT_EQ(got, expected);
    EXPECT_EQ(editor.MessageMaxLength(), 32);

    editor.txtMessage->setPlainText(QString(30, 'x') + "y");
    leave(editor.txtLines, "1");
    EXPECT_EQ(editor.txtMessage->toPlainText(), QString(16, 'x'));
    const struct {
        QLineEdit* box;
        const char* typed;
        const char* shown;
    } clamps[] = {{editor.txtCharPerLine, "45", "32"}, {editor.txtLines, "0", "1"},
                  {editor.txtCharPerLine, "5", "05"}, {editor.txtLines, "8", "8"},
                  {editor.txtCharPerLine, "32", "32"}};
    for (const auto& c : clamps) {
        leave(c.box, c.typed);
        EXPECT_EQ(c.box->text(), c.shown) << c.typed;
    }
    EXPECT_EQ(editor.MessageMaxLength(), 200); // 256 would be cut on saving

    harness.messages.Answer(kAnswerOk);
    editor.txtMessage->setPlainText("   ");
    editor.cmdOk->click();
    EXPECT_EQ(harness.messages.texts(), Lines{"Please enter text."});

    editor.txtMessage->setPlainText("Gate B closed  ");
    editor.cmbSlot->setCurrentIndex(14);
    editor.cmbFontSize->setCurrentText("Small");
    editor.cmbDelay->setCurrentIndex(8);
    editor.cmbEffect->setCurrentIndex(15);
    editor.cmdOk->click();
    const std::string file = ReadBytes(DataFilePath("SBMessages.DBS"));
    ASSERT_EQ(file.size(), 131000u);
    EXPECT_EQ(Record(file, 262, 12), Image(262).Put(0, "012").Fill(3, 200, ' ').Put(3, "Gate B closed")
                                          .PutByte(203, 15).PutByte(204, 2).PutInt16(205, 9).PutByte(207, 15)
                                          .PutInt16(208, 32).PutInt16(210, 8).str());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(list.findChild<KS_PPM_MessagesSBAdd*>(), nullptr);
    EXPECT_TRUE(list.lvwMessages->isEnabled());
    const QTreeWidgetItem* row = list.lvwMessages->currentItem();
    EXPECT_EQ(QStringList({row->text(0), row->text(1), row->text(3), row->text(7)}),
              QStringList({"012", "Gate B closed", "Small", "32"}));

    // A text longer than the column was sized for shows whole once saved.
    const QString longer = "EVACUATE BUILDING 3 NORTH WING NOW BY THE EAST STAIRS";
    KS_PPM_MessagesSBAdd& again = openEditor(list);
    again.txtMessage->setPlainText(longer);
    again.cmdOk->click();
    const QTreeWidget* rows = list.lvwMessages;
    ASSERT_EQ(rows->currentItem()->text(1), longer);
    EXPECT_GE(rows->columnWidth(1), rows->sizeHintForIndex(rows->currentIndex().siblingAtColumn(1)).width());
}

// The list cannot go while its editor is open: the text typed there would be
// lost. A save that cannot reach the file says so and keeps the editor open.
TEST_F(SignBoardWindows, TheListStaysWhileItsEditorIsOpen)
{
    QPointer<KS_PPM_MessagesSB> list = &open(false, "003");
    QPointer<KS_PPM_MessagesSBAdd> editor = &openEditor(*list);
    editor->txtMessage->setPlainText("Half typed");
    list->close();
    QTest::keyClick(list.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(list && editor);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(editor->txtMessage->toPlainText(), "Half typed");

    const std::string folder = gDataFolder;
    gDataFolder = folder + "/gone";
    harness.messages.Answer(kAnswerOk);
    editor->cmdOk->click();
    EXPECT_EQ(harness.messages.texts(), Lines{"Please confirm that the file " + PathInText(gDataFolder)
                                              + "/SBMessages.DBS exists and that you have the appropriate access "
                                                "permissions."});
    EXPECT_TRUE(editor->isVisible());
    gDataFolder = folder;
    editor->cmdCancel->click();
    EXPECT_TRUE(list->lvwMessages->isEnabled());
    list->close();
    EXPECT_FALSE(list->isVisible());
}

TEST_F(SignBoardWindows, ARefusedSendPutsTheFocusBackOnTheMessageList)
{
    KS_PPM_MessagesSB& list = open(true, "003");
    const struct {
        const char* refusal;
        int connectionType;
    } cases[] = {{"no users selected", 1}, {"modem not dialled", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal);
        gConnectionType = c.connectionType;
        if (c.connectionType == 2)
            harness.messages.Answer(kAnswerOk);
        list.cmdSend->setFocus();
        list.cmdSend->click();
        EXPECT_EQ(list.focusWidget(), list.lvwMessages);
    }
    EXPECT_TRUE(harness.HostLines().empty());
    list.cmdClose->click();
}

TEST_F(SignBoardWindows, TheSendsShowDisabledWhileAScheduledPageHoldsTheLine)
{
    KS_PPM_MessagesSB& list = open(true, "003");
    Lines enabledThen;
    harness.ActAtYield(5, [&] {
        for (QPushButton* command : {list.cmdSend, list.cmdClear, list.cmdClearAll})
            if (command->isEnabled())
                enabledThen.push_back(command->objectName().toStdString());
    });
    PageRequest scheduled;
    scheduled.SetPagerNo("001");
    form.SendPageToPager(scheduled);
    EXPECT_EQ(enabledThen, Lines{});
    EXPECT_TRUE(list.cmdSend->isEnabled() && list.cmdClear->isEnabled() && list.cmdClearAll->isEnabled());
    list.cmdClose->click();
}

// The preview breaks its text where the board breaks its lines.
TEST_F(SignBoardWindows, ThePreviewWrapsTheTextAtTheBoardsCharactersPerLine)
{
    storeMessage12();
    KS_PPM_MessagesSBAdd& editor = openEditor(open(false, "012"));
    const auto shownLines = [&editor] {
        QCoreApplication::processEvents();
        QStringList lines;
        for (QTextBlock block = editor.txtMessage->document()->begin(); block.isValid(); block = block.next())
            for (int i = 0; i < block.layout()->lineCount(); ++i)
                lines << block.text().mid(block.layout()->lineAt(i).textStart(), block.layout()->lineAt(i).textLength());
        // The preview holds its spaces as spaces that keep their cell; the text is plain spaces.
        return lines.join('|').replace(QChar::Nbsp, ' ');
    };
    leave(editor.txtLines, "3");
    leave(editor.txtCharPerLine, "32");
    editor.txtMessage->setPlainText("EVACUATE BUILDING 3 NORTH WING BY STAIRS");
    EXPECT_EQ(shownLines(), "EVACUATE BUILDING 3 NORTH WING B|Y STAIRS");
    leave(editor.txtCharPerLine, "10");
    editor.txtMessage->setPlainText("Gate B is closed");
    EXPECT_EQ(shownLines(), "Gate B is |closed");
    // A space that falls past a line's end starts the next line, as on the board.
    leave(editor.txtCharPerLine, "5");
    leave(editor.txtLines, "4");
    editor.txtMessage->setPlainText("ABCDE FGHIJ KLMNO");
    EXPECT_EQ(shownLines().toStdString(), "ABCDE| FGHI|J KLM|NO");
    editor.txtMessage->moveCursor(QTextCursor::End);
    editor.txtMessage->textCursor().deletePreviousChar();
    QTest::keyClicks(editor.txtMessage, " P");
    EXPECT_EQ(editor.txtMessage->toPlainText().toStdString(), "ABCDE FGHIJ KLMN P");
    // Typing stays one undo step: the spaces are not made over behind the operator's back.
    editor.txtMessage->undo();
    EXPECT_EQ(editor.txtMessage->toPlainText().toStdString(), "ABCDE FGHIJ KLMN");
    editor.txtMessage->redo();
    EXPECT_EQ(shownLines().toStdString(), "ABCDE| FGHI|J KLM|N P");
    // Every shape, with the widest and the narrowest letters.
    leave(editor.txtLines, "8");
    for (int n = 2; n <= 32; ++n) {
        leave(editor.txtCharPerLine, QByteArray::number(n).constData());
        editor.txtMessage->setPlainText(QString(n, 'M') + QString(n, 'i') + "W");
        EXPECT_EQ(shownLines(), QString(n, 'M') + "|" + QString(n, 'i') + "|W") << n;
    }
}

TEST_F(SignBoardWindows, EachSizeShowsOnceWithItsArrowsAgainstTheBoxAndTheTabStopsAtTheBox)
{
    storeMessage12();
    KS_PPM_MessagesSBAdd& editor = openEditor(open(false, "012"));
    for (const auto& [number, box, upDown] : {std::tuple{"16", editor.txtCharPerLine, editor.updCharPerLine},
                                              std::tuple{"2", editor.txtLines, editor.updLines}}) {
        SCOPED_TRACE(number);
        Lines showing;
        for (const QLineEdit* edit : editor.findChildren<QLineEdit*>())
            if (edit->isVisible() && edit->width() > 0 && edit->text() == number)
                showing.push_back(edit->objectName().toStdString());
        EXPECT_EQ(showing, Lines{box->objectName().toStdString()});
        EXPECT_EQ(upDown->geometry().left(), box->geometry().right() + 1);
        EXPECT_FALSE(upDown->focusPolicy() & Qt::TabFocus);
    }
    editor.updCharPerLine->stepUp();
    EXPECT_EQ(editor.txtCharPerLine->text(), "17");
    EXPECT_EQ(editor.MessageMaxLength(), 34);
}

// Alt and the label's letter reach the text it names, the message text.
TEST_F(SignBoardWindows, AltTMovesToTheMessageText)
{
    storeMessage12();
    KS_PPM_MessagesSBAdd& editor = openEditor(open(false, "012"));
    QApplication::setActiveWindow(&editor);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor, 1000));
    editor.cmbSlot->setFocus();
    QTest::keyClick(editor.cmbSlot, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), editor.txtMessage);
    editor.cmdCancel->click();
}

// A line break or tab kept in the file shows as the space it is sent as, the row one line high.
TEST_F(SignBoardWindows, AStoredControlCharacterShowsAsASpaceInItsRow)
{
    std::vector<SignBoardMessage> table;
    ASSERT_TRUE(LoadSignBoardTable(table));
    ASSERT_EQ(WriteSignBoardMessage(4, {.No = "004", .Text = PadRight("Fire\r\ndrill\tnow", 200), .Slot = 1,
                                        .Delay = 3, .CharPerLine = 32, .Lines = 3}),
              FileError::None);
    KS_PPM_MessagesSB& list = open(true, "004");
    EXPECT_EQ(list.lvwMessages->topLevelItem(3)->text(1).toStdString(), "Fire  drill now");
    list.cmdClose->click();
}

// The spaces the preview keeps in their cells are its own: a paste is one undo
// step, the text opens with nothing to undo, and a copy, the file and the list
// get plain spaces.
TEST_F(SignBoardWindows, APastedTextIsOneUndoStepAndItsSpacesLeaveTheBoxAsSpaces)
{
    storeMessage12();
    KS_PPM_MessagesSB& list = open(false, "012");
    KS_PPM_MessagesSBAdd& editor = openEditor(list);
    QTextDocument* document = editor.txtMessage->document();
    EXPECT_EQ(document->availableUndoSteps(), 0);
    editor.txtMessage->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(" at gate B");
    editor.txtMessage->paste();
    EXPECT_EQ(document->toRawText().count(' '), 0);
    editor.txtMessage->undo();
    EXPECT_EQ(editor.txtMessage->toPlainText().toStdString(), "Fire drill");
    editor.txtMessage->redo();
    EXPECT_EQ(document->toRawText().count(' '), 0);
    editor.txtMessage->selectAll();
    editor.txtMessage->copy();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "Fire drill at gate B");
    editor.cmdOk->click();
    EXPECT_EQ(list.lvwMessages->currentItem()->text(1).toStdString(), "Fire drill at gate B");
    std::vector<SignBoardMessage> table;
    ASSERT_TRUE(LoadSignBoardTable(table));
    EXPECT_EQ(table.at(11).Text, PadRight("Fire drill at gate B", 200));
    list.cmdClose->click();
}

TEST_F(SignBoardWindows, AKeyOrAPastePastTheBoardsRoomIsRefusedAndTheTextItsCaretAndItsUndoStay)
{
    storeMessage12();
    KS_PPM_MessagesSBAdd& editor = openEditor(open(false, "012"));
    QPlainTextEdit* box = editor.txtMessage;
    box->setPlainText("");
    box->setFocus();
    const QString full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"; // 16 by 2
    QTest::keyClicks(box, full);
    ASSERT_EQ(box->toPlainText(), full);
    QTextCursor caret = box->textCursor();
    caret.setPosition(5);
    box->setTextCursor(caret);
    const int steps = box->document()->availableUndoSteps();
    QTest::keyClicks(box, "x");
    EXPECT_EQ(box->toPlainText(), full);
    EXPECT_EQ(box->textCursor().position(), 5);
    EXPECT_EQ(box->document()->availableUndoSteps(), steps);
    // So is a paste, however long: no step is left for it, nothing to redo.
    QApplication::clipboard()->setText("yz");
    box->paste();
    EXPECT_EQ(box->toPlainText(), full);
    EXPECT_EQ(box->textCursor().position(), 5);
    EXPECT_EQ(box->document()->availableUndoSteps(), steps);
    EXPECT_EQ(box->document()->availableRedoSteps(), 0);

    // With room for two, a paste of four takes its first two, in one undo step.
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    caret = box->textCursor();
    caret.setPosition(5);
    box->setTextCursor(caret);
    QApplication::clipboard()->setText("wxyz");
    box->paste();
    EXPECT_EQ(box->toPlainText(), "ABCDEwxFGHIJKLMNOPQRSTUVWXYZ0123");
    EXPECT_EQ(box->textCursor().position(), 7);
    box->undo();
    EXPECT_EQ(box->toPlainText(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");

    // A key typed over a selection of the full text replaces it.
    box->redo();
    caret.setPosition(1);
    caret.setPosition(3, QTextCursor::KeepAnchor);
    box->setTextCursor(caret);
    QTest::keyClicks(box, "Q");
    EXPECT_EQ(box->toPlainText(), "AQDEwxFGHIJKLMNOPQRSTUVWXYZ0123");

    // A paste over the whole text, or into an empty box, takes what fits in one undo step.
    const QString pasted = full + "6789";
    QApplication::clipboard()->setText(pasted);
    for (const QString& before : {QString("AQDEwxFGHIJKLMNOPQRSTUVWXYZ0123"), QString()}) {
        box->setPlainText(before);
        QTest::keyClicks(box, "!");
        box->selectAll();
        if (before.isEmpty())
            QTest::keyClick(box, Qt::Key_Delete);
        const QString typed = box->toPlainText();
        box->selectAll();
        box->paste();
        EXPECT_EQ(box->toPlainText(), full);
        box->undo();
        EXPECT_EQ(box->toPlainText(), typed);
    }
}

// The board gives a soft hyphen a cell like any character: the preview's
// lines break where the board's do, and what follows stands in its column.
TEST_F(SignBoardWindows, ASoftHyphenTakesItsCellInThePreviewAsOnTheBoard)
{
    storeMessage12();
    KS_PPM_MessagesSBAdd& editor = openEditor(open(false, "012"));
    leave(editor.txtLines, "4");
    leave(editor.txtCharPerLine, "10");
    const qreal cell = QFontMetricsF(editor.txtMessage->font()).horizontalAdvance(QLatin1Char('W'));
    const struct {
        const char* text;
        const char* lines; // "~" for the soft hyphen
        int column;        // where the last character stands in its line
        const char* charactersPerLine = nullptr; // a new count, for the text before
    } cases[] = {
        {"Haus\u00ADmeister Buero", "Haus~meist|er Buero", 7},
        {"ABCDEFGHI\u00ADJKLMNOPQRS", "ABCDEFGHI~|JKLMNOPQRS", 9},
        {"\u00ADABCDEFGHIJK", "~ABCDEFGHI|JK", 1},
        // First on a board line that is not the text's first.
        {"ABCDEFGHIJ\u00ADKLM", "ABCDEFGHIJ|~KLM", 3},
        {"ABCDEF\u00ADGHIJK", "ABCDEF~GHI|JK", 1},
        // The cells worked out again for the new lines.
        {"ABCDEF\u00ADGHIJK", "ABCDEF|~GHIJK", 5, "6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.charactersPerLine)
            leave(editor.txtCharPerLine, c.charactersPerLine); // the text there already
        else
            editor.txtMessage->setPlainText(QString::fromUtf8(c.text));
        QCoreApplication::processEvents();
        const QTextBlock block = editor.txtMessage->document()->begin();
        editor.txtMessage->document()->documentLayout()->blockBoundingRect(block);
        QStringList lines;
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            lines << block.text().mid(block.layout()->lineAt(i).textStart(), block.layout()->lineAt(i).textLength());
        EXPECT_EQ(lines.join('|').replace(QChar(0xAD), '~').replace(QChar::Nbsp, ' ').toStdString(), c.lines);
        const QTextLine last = block.layout()->lineAt(block.layout()->lineCount() - 1);
        const qreal margin = editor.txtMessage->document()->documentMargin();
        EXPECT_NEAR(last.cursorToX(block.text().size() - 1), margin + c.column * cell, 1.0);
    }
}
