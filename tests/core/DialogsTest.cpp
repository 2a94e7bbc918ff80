#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QTreeView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QDropEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "KS_FileDialog.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_SYS_About.h"
#include "KS_SYS_Login.h"
#include "KS_SYS_Message.h"
#include "KS_String.h"
#include "TestSupport.h"

TEST(Login, WrongPasswordLogsOutAndEmptiesTheBoxWhileCaseAndBlanksDoNotCount)
{
    ScriptedMessages script;
    script.Answer(kAnswerOk);
    gAdminPassword = "pass";
    gAdminMode = true;
    auto* login = new KS_SYS_Login;
    login->show();
    login->txtPassword->setText("pass1");
    login->cmdOk->click();
    EXPECT_FALSE(gAdminMode);
    EXPECT_EQ(script.texts(), std::vector<std::string>{"Invalid password. Please enter password."});
    EXPECT_TRUE(login->txtPassword->text().isEmpty());
    EXPECT_TRUE(login->isVisible());

    login->txtPassword->setText(" PASS ");
    login->cmdOk->click();
    EXPECT_TRUE(gAdminMode);

    // Case counts for no letter the box takes, the accented ones included.
    gAdminPassword = "caf\xE9";
    gAdminMode = false;
    auto* again = new KS_SYS_Login;
    again->show();
    again->txtPassword->setText(QString::fromUtf8("CAF\xC3\x89"));
    again->cmdOk->click();
    EXPECT_TRUE(gAdminMode);
}

TEST(Login, EnterInThePasswordBoxMeansOk)
{
    gAdminPassword = "";
    auto* login = new KS_SYS_Login;
    login->show();
    login->activateWindow();
    login->txtPassword->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(login->txtDummy->isVisible());
    QTest::keyClick(login->txtPassword, Qt::Key_Return);
    for (int i = 0; i < 20 && !gAdminMode; ++i)
        QApplication::processEvents();
    EXPECT_TRUE(gAdminMode);
}

TEST(Login, TheBoxThatMakesEnterMeanOkIsNeverSeen)
{
    auto* login = new KS_SYS_Login;
    login->show();
    login->activateWindow();
    login->txtPassword->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(login->txtDummy->visibleRegion().isEmpty());
    login->close();
}

TEST(About, DescribesTheEncoderOrItsAbsence)
{
    gEncoderModelName = "encoder";
    gEncoderSerialNumber = "00000";
    EXPECT_EQ(AboutSystemText(), "Encoder Model: Not Connected / Unknown\nSerial Number: \n");
    gEncoderModelName = "QX7100";
    gEncoderSerialNumber = "01234";
    EXPECT_EQ(AboutSystemText(), "Encoder Model: QX7100 (N/C)\nSerial Number: 01234\n");
    EXPECT_EQ(AboutProgramText().rfind("Pagora\nVersion ", 0), 0u);
}

TEST(FormConventions, EnterMovesOnAndFiltersSwallowKeys)
{
    QWidget form;
    auto* first = new QLineEdit(&form);
    auto* second = new QLineEdit(&form);
    auto* conventions = FormConventions::Install(&form);
    conventions->SetKeyFilter(first, DigitsOnlyKey);
    form.show();
    form.activateWindow();
    first->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(first, "1a2");
    EXPECT_EQ(first->text(), "12");
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_TRUE(second->hasFocus());
}

// Alt+S meant for a greyed menu must not leave an "s" in the page text.
TEST(FormConventions, AKeyHeldWithAltPutsNoLetterIntoAnyBoxWhileAltGrStillTypes)
{
    QWidget form;
    auto* line = new QLineEdit(&form);
    auto* page = new QPlainTextEdit(&form);
    auto* number = new QSpinBox(&form);
    auto* conventions = FormConventions::Install(&form);
    conventions->ExemptFromEnter(page);
    for (QWidget* box : std::initializer_list<QWidget*>{line, page, number}) {
        QKeyEvent alt(QEvent::KeyPress, Qt::Key_S, Qt::AltModifier, "s");
        QApplication::sendEvent(box, &alt);
        QKeyEvent altDigit(QEvent::KeyPress, Qt::Key_7, Qt::AltModifier | Qt::ShiftModifier, "7");
        QApplication::sendEvent(box, &altDigit);
        QKeyEvent altGr(QEvent::KeyPress, Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, "@");
        QApplication::sendEvent(box, &altGr);
        QKeyEvent plain(QEvent::KeyPress, Qt::Key_4, Qt::NoModifier, "4");
        QApplication::sendEvent(box, &plain);
    }
    EXPECT_EQ(line->text(), "@4");
    EXPECT_EQ(page->toPlainText(), "@4");
    EXPECT_EQ(number->value(), 4);
}

TEST(FormConventions, EscapeInADigitPhoneOrDecimalBoxClosesTheDialog)
{
    const FormConventions::KeyFilter filters[] = {
        DigitsOnlyKey, PhoneKeyFilter, [](int key) { return DecimalKeyFilter(key); }};
    for (const auto& filter : filters) {
        QDialog dialog;
        auto* box = new QLineEdit(&dialog);
        FormConventions::Install(&dialog)->SetKeyFilter(box, filter);
        dialog.show();
        dialog.activateWindow();
        box->setFocus();
        QApplication::processEvents();
        QTest::keyClicks(box, "1x");
        EXPECT_EQ(box->text(), "1");
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST(FormConventions, DeleteInADigitPhoneOrDecimalBoxDeletesTheNextCharacter)
{
    const FormConventions::KeyFilter filters[] = {
        DigitsOnlyKey, PhoneKeyFilter, [](int key) { return DecimalKeyFilter(key); }};
    for (const auto& filter : filters) {
        QDialog dialog;
        auto* box = new QLineEdit("123", &dialog);
        FormConventions::Install(&dialog)->SetKeyFilter(box, filter);
        dialog.show();
        box->setFocus();
        box->setCursorPosition(1);
        // As a desktop sends the key: with DEL as its text.
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier);
        EXPECT_EQ(box->text(), "13");
    }
}

namespace {
void typeText(QWidget* box, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
}
} // namespace

TEST(FormConventions, NoBoxTakesACharacterTheDataFilesCannotHoldAndNoOneLineBoxAControlCharacter)
{
    QDialog form;
    auto* line = new QLineEdit(&form);
    auto* lines = new QPlainTextEdit(&form);
    auto* wrapped = new QPlainTextEdit(&form); // one line shown wrapped: Enter moves on
    FormConventions::Install(&form)->ExemptFromEnter(lines);
    form.show();

    line->setText("AB");
    line->setCursorPosition(1);
    typeText(line, QString::fromUtf8("\u0141")); // a Polish L, outside Windows-1252
    EXPECT_EQ(line->text(), "AB");
    line->selectAll();
    QApplication::clipboard()->setText(QString::fromUtf8("FIRE\rP999X\t\u0141\u20AC"));
    line->paste();
    EXPECT_EQ(line->text(), QString::fromUtf8("FIRE P999X \u20AC"));
    EXPECT_EQ(line->cursorPosition(), 12);
    // What the program shows is shown as it is.
    line->setText(QString::fromUtf8("a\r\u0141"));
    EXPECT_EQ(line->text(), QString::fromUtf8("a\r\u0141"));

    lines->setFocus();
    QApplication::clipboard()->setText(QString::fromUtf8("one\ntwo\u0141\u0142"));
    lines->paste();
    EXPECT_EQ(lines->toPlainText(), "one\ntwo");
    lines->undo();
    EXPECT_EQ(lines->toPlainText(), "");
    lines->paste();
    typeText(lines, QString::fromUtf8("\u0141"));
    typeText(lines, "!");
    EXPECT_EQ(lines->toPlainText(), "one\ntwo!");
    wrapped->setFocus();
    QApplication::clipboard()->setText(QString::fromUtf8("FIRE\rP999X\t\u0141"));
    wrapped->paste();
    EXPECT_EQ(wrapped->toPlainText(), "FIRE P999X ");
}

namespace {
void dropText(QWidget* box, const QString& text)
{
    QMimeData data;
    data.setText(text);
    const QPoint end(box->width() - 1, box->height() / 2);
    QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
}
} // namespace

TEST(FormConventions, APasteOrADropPassesTheKeyFilterCharacterByCharacterAsTypedKeysDo)
{
    QDialog form;
    auto* digits = new QLineEdit(&form);
    auto* phone = new QLineEdit(&form);
    auto* decimal = new QLineEdit(&form);
    auto* conventions = FormConventions::Install(&form);
    conventions->SetKeyFilter(digits, DigitsOnlyKey);
    conventions->SetKeyFilter(phone, PhoneKeyFilter);
    conventions->SetKeyFilter(decimal, [](int key) { return DecimalKeyFilter(key, true); });
    form.show();
    const auto paste = [](QLineEdit* box, const QString& text) {
        box->setFocus();
        QApplication::clipboard()->setText(text);
        box->paste();
        return box->text();
    };

    EXPECT_EQ(paste(digits, "2 5"), "25");
    EXPECT_EQ(digits->cursorPosition(), 2);
    digits->setCursorPosition(1);
    EXPECT_EQ(paste(digits, "A\r\n4"), "245");
    EXPECT_EQ(digits->cursorPosition(), 2);
    digits->clear();
    QApplication::clipboard()->setText("9 9");
    QTest::keyClick(digits, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(digits->text(), "99");
    dropText(digits, "12 A4");
    EXPECT_EQ(digits->text(), "99124");
    // A paste with nothing the box takes leaves the box as it was; a clean one can be undone.
    EXPECT_EQ(paste(digits, "x y"), "99124");
    EXPECT_EQ(paste(digits, "7"), "991247");
    digits->undo();
    EXPECT_EQ(digits->text(), "99124");

    EXPECT_EQ(paste(phone, "(555) 12x3,4"), "(555) 1234");
    // The decimal rules read the text as the paste builds it: one point, a minus only in front.
    EXPECT_EQ(paste(decimal, "-1.2.3-"), "-1.23");
    decimal->clear();
    decimal->setText("5");
    decimal->setCursorPosition(1);
    EXPECT_EQ(paste(decimal, "-7"), "57");
}

TEST(FormConventions, APasteOrADropIsTakenAsTypedKeysBeforeTheBoxCutsItToItsRoom)
{
    QDialog form;
    auto* digits = new QLineEdit(&form);
    digits->setMaxLength(3);
    auto* capcode = new QLineEdit(&form);
    capcode->setMaxLength(7);
    auto* name = new QLineEdit(&form);
    name->setMaxLength(4);
    auto* conventions = FormConventions::Install(&form);
    conventions->SetKeyFilter(digits, DigitsOnlyKey);
    conventions->SetKeyFilter(capcode, DigitsOnlyKey);
    form.show();
    const auto shiftInsert = [](QLineEdit* box, const QString& text) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        return box->text();
    };

    EXPECT_EQ(shiftInsert(digits, "00 7"), "007");
    EXPECT_EQ(shiftInsert(capcode, "1 200 008"), "1200008");
    digits->clear();
    QApplication::clipboard()->setText("00 7");
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), digits->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(digits, &click);
    auto* menu = digits->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    const auto items = menu->actions();
    const auto pasteItem = std::find_if(items.begin(), items.end(), [](QAction* item) { return item->text().startsWith("&Paste"); });
    ASSERT_NE(pasteItem, items.end());
    (*pasteItem)->trigger();
    menu->close();
    EXPECT_EQ(digits->text(), "007");
    digits->clear();
    dropText(digits, "0 0 7");
    EXPECT_EQ(digits->text(), "007");

    // Into a box with text typed in it: only the room left, and Undo takes back the paste alone.
    capcode->clear();
    QTest::keyClicks(capcode, "12");
    EXPECT_EQ(shiftInsert(capcode, "3 4 5 6 7 8"), "1234567");
    capcode->undo();
    EXPECT_EQ(capcode->text(), "12");
    // A box without a key filter takes a line break as one blank before it cuts too, by Ctrl+V as well.
    QApplication::clipboard()->setText("a\r\nbcd");
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(name->text(), "a bc");
}

TEST(FormConventions, ALongPasteStopsAtTheBoxsRoomAndADecimalPasteKeepsItsRules)
{
    QDialog form;
    auto* digits = new QLineEdit(&form);
    digits->setMaxLength(7);
    auto* decimal = new QLineEdit(&form);
    auto* conventions = FormConventions::Install(&form);
    int asked = 0;
    conventions->SetKeyFilter(digits, [&asked](int key) {
        ++asked;
        return DigitsOnlyKey(key);
    });
    conventions->SetKeyFilter(decimal, [](int key) { return DecimalKeyFilter(key, true); });
    form.show();
    const auto shiftInsert = [](QLineEdit* box, const QString& text) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        return box->text();
    };

    // The filter is asked only until the box is full, however long the paste.
    EXPECT_EQ(shiftInsert(digits, QString(200000, QLatin1Char('9'))), "9999999");
    EXPECT_LT(asked, 20); // the paste, then the box checking what it took

    decimal->setText("12.5");
    decimal->setCursorPosition(2);
    EXPECT_EQ(shiftInsert(decimal, "-3"), "123.5"); // a minus after a digit is refused
    decimal->setSelection(0, 2);
    EXPECT_EQ(shiftInsert(decimal, "-7"), "-73.5"); // over a selection, the paste replaces it
    decimal->setSelection(1, 2);
    EXPECT_EQ(shiftInsert(decimal, ".-"), "-73.5"); // nothing of it taken: the selection stays
    EXPECT_EQ(decimal->selectedText(), "73");
    decimal->clear();
    EXPECT_EQ(shiftInsert(decimal, "12-5"), "125"); // the paste's own digits come before its minus
    decimal->setText("1.5");
    decimal->selectAll();
    EXPECT_EQ(shiftInsert(decimal, "2.5"), "2.5"); // the point it replaces is no point to refuse a second
}

TEST(FormConventions, ALineBreakPastedIntoABoxForOneLineCountsOnce)
{
    QDialog form;
    auto* line = new QLineEdit(&form);
    auto* wrapped = new QPlainTextEdit(&form); // one line shown wrapped: Enter moves on
    FormConventions::Install(&form);
    form.show();
    for (const char* pasted : {"Ann\r\nLee", "Ann\n\rLee", "Ann\r\rLee", "Ann\n\nLee"}) {
        SCOPED_TRACE(QString::fromLatin1(pasted).toUtf8().toPercentEncoding().toStdString());
        QApplication::clipboard()->setText(pasted);
        line->clear();
        line->setFocus();
        line->paste();
        EXPECT_EQ(line->text(), "Ann Lee");
        wrapped->clear();
        wrapped->setFocus();
        wrapped->paste();
        EXPECT_EQ(wrapped->toPlainText(), "Ann Lee");
    }
    // Two breaks are two blanks, as the record text gets them.
    QApplication::clipboard()->setText("a\r\n\r\nb");
    line->clear();
    line->paste();
    EXPECT_EQ(line->text(), "a  b");
    EXPECT_EQ(ReplaceLineBreaks("a\r\n\r\nb", " "), "a  b");
    EXPECT_EQ(ReplaceLineBreaks("a\r\rb\n\nc", "|"), "a|b|c");
}

TEST(FormConventions, ABoxItsOwnContextMenuGivesTheFocusBackToKeepsItsCaretAfterAPaste)
{
    QDialog form;
    auto* box = new QLineEdit(&form);
    new QLineEdit(&form);
    FormConventions::Install(&form);
    form.show();
    const auto focusIn = [box](Qt::FocusReason reason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(box, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(box, &in);
        QApplication::processEvents();
    };
    box->setText("Ann Lee");
    box->deselect();
    box->setCursorPosition(7);
    // The menu closes after its Paste: the next key goes after the pasted text.
    focusIn(Qt::PopupFocusReason);
    EXPECT_FALSE(box->hasSelectedText());
    EXPECT_EQ(box->cursorPosition(), 7);
    focusIn(Qt::TabFocusReason);
    EXPECT_EQ(box->selectedText(), "Ann Lee");
}

TEST(HelpKey, F1OpensTheHelpFromAnyWindowButNotFromOneClosedToTheOperator)
{
    QTemporaryDir folder;
    gHelpFile = folder.filePath("Pagora.html").toStdString();
    QFile(folder.filePath("Pagora.html")).open(QIODevice::WriteOnly);
    int viewed = 0;
    SetDocumentViewerForTest([&viewed](const QString&) { return ++viewed > 0; });
    ScriptedMessages script;

    QDialog form;
    auto* box = new QLineEdit(&form);
    auto* other = new QPushButton("Ok", &form);
    FormConventions::Install(&form);
    QDialog plain; // a window without the conventions of its own
    auto* button = new QPushButton("Ok", &plain);
    form.show();
    plain.show();

    QTest::keyClick(box, Qt::Key_F1);
    QTest::keyClick(button, Qt::Key_F1);
    EXPECT_EQ(viewed, 2);
    box->setEnabled(false);
    other->setEnabled(false); // every control off while the window works
    QTest::keyClick(&form, Qt::Key_F1);
    plain.setEnabled(false);
    QTest::keyClick(&plain, Qt::Key_F1);
    plain.setEnabled(true);
    bool open = false;
    SetOpenToOperatorCheck(&plain, [&open] { return open; });
    QTest::keyClick(button, Qt::Key_F1);
    EXPECT_EQ(viewed, 2);
    open = true;
    QTest::keyClick(button, Qt::Key_F1);
    EXPECT_EQ(viewed, 3);
    EXPECT_TRUE(script.shown().empty());
    SetDocumentViewerForTest({});
}

TEST(LoadingWindow, ASecondCallKeepsTheFirstText)
{
    ShowLoadMessage("first");
    ShowLoadMessage("second");
    EXPECT_EQ(LoadMessageText(), "first");
    UnloadLoadMessage();
    EXPECT_FALSE(LoadMessageShowing());
}

TEST(LoadingWindow, ItIsRaisedAgainOverItsWindowWhenAMessageBoxOverThatWindowCloses)
{
    QDialog work;
    work.setWindowModality(Qt::ApplicationModal);
    work.show();
    ShowLoadMessage("Please wait...", &work);
    QWidget* loading = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "KS_SYS_LoadingMessage")
            loading = w;
    ASSERT_NE(loading, nullptr);
    // A window manager may put the box's owner over it while the box shows; what counts is the raise after.
    struct Raises : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::ZOrderChange;
            return false;
        }
    } raises;
    SetMessageAnswerHook([](const MessageRequest&) -> std::optional<MessageAnswer> { return std::nullopt; });
    QTimer::singleShot(0, [&] {
        loading->installEventFilter(&raises);
        if (KS_SYS_Message* box = VisibleMessageBox())
            box->cmd_Ok->click();
    });
    EXPECT_EQ(ShowMessage("Connection lost. Retry?"), kAnswerOk);
    SetMessageAnswerHook({});
    EXPECT_GT(raises.count, 0);
    EXPECT_TRUE(loading->isVisible());
    UnloadLoadMessage();
}

// A multi-line box with a room keeps it as a one-line box keeps its maximum
// length: nothing the operator brings in pushes out the box's own text.
TEST(TextRoom, KeysAndPastesTakeOnlyWhatFitsAndTheTextItsCaretAndItsUndoStay)
{
    QPlainTextEdit box;
    auto* room = new TextRoom(&box, 10);
    box.show();
    box.setFocus();
    const auto caretAt = [&box](int from, int to) {
        QTextCursor caret = box.textCursor();
        caret.setPosition(from);
        caret.setPosition(to, QTextCursor::KeepAnchor);
        box.setTextCursor(caret);
    };
    QTest::keyClicks(&box, "ABCDEFGH");
    QTest::keyClick(&box, Qt::Key_Left);
    QTest::keyClicks(&box, "YZ");
    // Typed on from the typing that filled the box, a key is refused too, and nothing of that typing goes.
    QTest::keyClicks(&box, "W");
    ASSERT_EQ(box.toPlainText(), "ABCDEFGYZH");
    EXPECT_EQ(box.textCursor().position(), 9);
    const int steps = box.document()->availableUndoSteps();

    // A key, a line break and a paste into the full box: refused, the caret where it was, no step added.
    caretAt(3, 3);
    QTest::keyClicks(&box, "x");
    QTest::keyClick(&box, Qt::Key_Return);
    QApplication::clipboard()->setText("xy");
    box.paste();
    EXPECT_EQ(box.toPlainText(), "ABCDEFGYZH");
    EXPECT_EQ(box.textCursor().position(), 3);
    EXPECT_EQ(box.document()->availableUndoSteps(), steps);
    EXPECT_EQ(box.document()->availableRedoSteps(), 0);
    // The first undo takes back the operator's own last typing.
    box.undo();
    EXPECT_EQ(box.toPlainText(), "ABCDEFGH");

    // Room for two: a paste inside the text takes its first two at the caret, the text after it stays.
    QApplication::clipboard()->setText("1234");
    caretAt(2, 2);
    box.paste();
    EXPECT_EQ(box.toPlainText(), "AB12CDEFGH");
    EXPECT_EQ(box.textCursor().position(), 4);
    box.undo();
    EXPECT_EQ(box.toPlainText(), "ABCDEFGH");
    // Over a selection it takes as much as the selection and the room hold.
    caretAt(0, 1);
    box.paste();
    EXPECT_EQ(box.toPlainText(), "123BCDEFGH");

    // A smaller room cuts the text's end.
    room->SetRoom(4);
    EXPECT_EQ(box.toPlainText(), "123B");
}

// The room counts what the box keeps: its filter takes out what the code page
// lacks within the same edit, and a key that puts in a character the box
// keeps meets the room whether it prints or not (a soft hyphen).
TEST(TextRoom, CountsWhatTheBoxsFilterKeepsAndEveryCharacterAKeyPutsIn)
{
    QDialog form;
    auto* box = new QPlainTextEdit(&form);
    new TextRoom(box, 10); // before the filter, as the page text has it
    FormConventions::Install(&form)->ExemptFromEnter(box);
    form.show();
    box->setFocus();
    QTest::keyClicks(box, "ABCDEFG");
    QApplication::clipboard()->setText(QString::fromUtf8("\u2713\u2713\u2713\u2713xyz"));
    box->paste();
    EXPECT_EQ(box->toPlainText(), "ABCDEFGxyz");

    box->clear();
    QTest::keyClicks(box, "ABCDEFGHIJ");
    const int steps = box->document()->availableUndoSteps();
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(QChar(0xAD)), Qt::NoModifier);
    EXPECT_EQ(box->toPlainText(), "ABCDEFGHIJ");
    EXPECT_EQ(box->textCursor().position(), 10);
    EXPECT_EQ(box->document()->availableUndoSteps(), steps);
}

// The page text keeps its line breaks: one pasted still meets the room. A
// full box still takes the keys that put nothing in.
TEST(TextRoom, APastedLineBreakMeetsTheRoomOfAPageTextAndCtrlKeysWorkInAFullBox)
{
    QDialog form;
    auto* box = new QPlainTextEdit(&form);
    new TextRoom(box, 10);
    FormConventions::Install(&form)->ExemptFromEnter(box);
    form.show();
    box->setFocus();
    QTest::keyClicks(box, "ABCDEFGH");
    QApplication::clipboard()->setText("x\ny");
    box->paste();
    EXPECT_EQ(box->toPlainText(), "ABCDEFGHx\n");

    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->textCursor().selectedText().size(), 10);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->toPlainText(), "ABCDEFGH");
}

// The open and save dialogs show a file's size, type and date whole.
TEST(FileDialog, TheSizeTypeAndDateColumnsFitTheirText)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("Woche.tgs"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(24528, 'x'));
    file.close();
    std::vector<int> clipped;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* files = dialog->findChild<QTreeView*>("treeView");
        ASSERT_NE(files, nullptr);
        // The folder is read in the background; a row shows once it has been.
        seen = QTest::qWaitFor([files] { return files->model()->rowCount(files->rootIndex()) > 0; }, 5000);
        QApplication::processEvents();
        for (int column = 1; column < 4; ++column) {
            const QString text = files->model()->index(0, column, files->rootIndex()).data().toString();
            if (files->columnWidth(column) < files->fontMetrics().horizontalAdvance(text))
                clipped.push_back(column);
        }
        dialog->reject();
    });
    ChooseFile(nullptr, {.save = false, .filter = "Tone Generator Schedule (*.tgs)",
                         .initialFolder = folder.path().toStdString() + "/"});
    EXPECT_TRUE(seen);
    EXPECT_EQ(clipped, std::vector<int>{});
}

// Every way of giving a command meets at the button: the box being typed in
// has been left (its rule run) when the handler reads it, and in the active
// window the caret comes back to it unless the command placed it elsewhere.
TEST(FormConventions, ACommandFindsTheBoxLeftWhicheverWayItIsGivenAndTheCaretBackUnlessItPlacedIt)
{
    QDialog form;
    auto* box = new QLineEdit(&form);
    auto* kept = new QLineEdit(&form);
    auto* other = new QLineEdit(&form);
    auto* go = new QPushButton("&Go", &form);
    go->setDefault(true);
    QObject::connect(box, &QLineEdit::editingFinished, [box] { box->setText(box->text().rightJustified(3, '0')); });
    QObject::connect(kept, &QLineEdit::editingFinished, [kept] { kept->setText("kept rule ran"); });
    KeepAsTypedForCommands(kept, [] { return true; });
    // Return reaches the default button only where Enter does not move on.
    FormConventions::Install(&form, false);
    enum class Then { Nothing, GreyAndMoveTheCaret, PlaceTheCaret } then = Then::Nothing;
    QString seen;
    QLineEdit* reading = box;
    QObject::connect(go, &QPushButton::clicked, [&] {
        seen = reading->text();
        if (then == Then::GreyAndMoveTheCaret) {
            // As a run's greying or a window coming back to the front moves it.
            box->setEnabled(false);
            other->setFocus(Qt::TabFocusReason);
            box->setEnabled(true);
        } else if (then == Then::PlaceTheCaret) {
            SafeSetFocus(other);
        }
    });
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    const std::function<void()> ways[] = {
        [&] { QTest::keyClick(reading, Qt::Key_G, Qt::AltModifier); },
        [&] { QTest::keyClick(reading, Qt::Key_Return); },
        [&] { go->click(); },
    };
    // Types into the box with the caret in it and gives the command: what the handler read.
    const auto command = [&](int way, QLineEdit* into, const QString& typed) {
        reading = into;
        into->setFocus();
        into->setText(typed);
        seen.clear();
        ways[way]();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.isEmpty(); }, 2000));
        return seen;
    };
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        for (const Then t : {Then::Nothing, Then::GreyAndMoveTheCaret, Then::PlaceTheCaret}) {
            then = t;
            EXPECT_EQ(command(way, box, "7"), "007");
            EXPECT_EQ(QApplication::focusWidget(), t == Then::PlaceTheCaret ? other : box);
        }
        then = Then::Nothing;
        // Return ends a line edit's editing itself, as Enter moving on would.
        if (way != 1)
            EXPECT_EQ(command(way, kept, "as typed"), "as typed");
    }
}

TEST(FileDialog, TheSizeColumnFitsTheLargestSizeItShows)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("Woche.tgs"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Sparse: shown as "999.99 GiB", the widest size the column gives.
    ASSERT_TRUE(file.resize(1073731086582LL));
    file.close();
    int width = 0;
    int needed = 1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* files = dialog->findChild<QTreeView*>("treeView");
        ASSERT_NE(files, nullptr);
        QTest::qWaitFor([files] { return files->model()->rowCount(files->rootIndex()) > 0; }, 5000);
        QApplication::processEvents();
        const QString size = files->model()->index(0, 1, files->rootIndex()).data().toString();
        EXPECT_EQ(size, "999.99 GiB");
        width = files->columnWidth(1);
        needed = files->fontMetrics().horizontalAdvance(size);
        dialog->reject();
    });
    ChooseFile(nullptr, {.save = false, .filter = "Tone Generator Schedule (*.tgs)",
                         .initialFolder = folder.path().toStdString() + "/"});
    EXPECT_GE(width, needed);
}

// A command in an inactive window tells the box once that it lost the focus
// (a button built after the conventions as much as one built before), and the
// box stays that window's caret; a command given from a box gives the caret
// back once, not at a later click on the same button.
TEST(FormConventions, AnInactiveWindowsBoxIsLeftOnceAndKeepsItsCaretAndAGiveBackServesOneCommand)
{
    QDialog form;
    auto* box = new QLineEdit(&form);
    auto* go = new QPushButton("&Go", &form);
    FormConventions::Install(&form, false);
    auto* late = new QPushButton("&Late", &form);
    struct Leaves : QObject {
        int count = 0;
        QWidget* towards = nullptr; // where the box's window says the caret went
        bool eventFilter(QObject* box, QEvent* event) override
        {
            if (event->type() == QEvent::FocusOut) {
                ++count;
                towards = static_cast<QWidget*>(box)->window()->focusWidget();
            }
            return false;
        }
    } leaves;
    box->installEventFilter(&leaves);
    QWidget elsewhere;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    box->setFocus();
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    for (QPushButton* button : {go, late}) {
        SCOPED_TRACE(button->text().toStdString());
        leaves.count = 0;
        button->click();
        EXPECT_EQ(leaves.count, 1);
        EXPECT_EQ(leaves.towards, button);
        EXPECT_EQ(form.focusWidget(), box);
    }
    elsewhere.hide();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    box->setFocus();
    go->click();
    EXPECT_EQ(QApplication::focusWidget(), box);
    QTest::mouseClick(go, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), go);
}

namespace {

// The question of a box's rule, answered Yes a moment after it shows, as the operator answers it.
bool askedAndAnsweredYes()
{
    QTimer::singleShot(50, [] {
        if (KS_SYS_Message* message = VisibleMessageBox())
            message->cmd_Yes->click();
    });
    return ShowMessage("Sure?", kButtonsYesNo, kAnswerNo, kIconQuestion) == kAnswerYes;
}

// Calls `left` each time the box it watches loses the focus, but for its window going inactive.
struct LeaveWatch : QObject {
    std::function<void()> left;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut
            && static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            left();
        return false;
    }
};

} // namespace

// A mouse press on a command while the box being left is still to ask: a
// press that outlasts the question (its release goes to the box) is a click
// once it is answered Yes; one the rule lets by without asking stays a plain
// press, which a release off the button takes back.
TEST(FormConventions, APressThatOutlastsTheBoxsQuestionClicksOnceAnsweredAndOneThatDidNotStaysAPlainPress)
{
    QDialog form;
    auto* box = new QLineEdit(&form);
    auto* go = new QPushButton("Go", &form);
    go->move(0, 40);
    FormConventions* conventions = FormConventions::Install(&form);
    bool asks = false;
    LeaveWatch leave;
    leave.left = [&] { conventions->LeaveRuleDue(box, [&asks] { return !asks || askedAndAnsweredYes(); }); };
    box->installEventFilter(&leave);
    int clicks = 0;
    QObject::connect(go, &QPushButton::clicked, [&clicks] { ++clicks; });
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    box->setFocus();
    QTest::mousePress(go, Qt::LeftButton);
    QTest::mouseRelease(go, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(clicks, 0);

    asks = true;
    box->setFocus();
    QTest::mousePress(go, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    QTest::mouseRelease(go, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

// A command the box's rule refused stays a working command, with nothing of
// the refused one left behind; only a left press or an access key of one
// button gives a command and settles the rule for it.
TEST(FormConventions, ARefusedCommandLeavesItsButtonWorkingAndOnlyALeftPressOrAnUnsharedKeyGivesACommand)
{
    QDialog form;
    auto* box = new QLineEdit(&form);
    auto* other = new QLineEdit(&form);
    auto* go = new QPushButton("&Go", &form);
    auto* same = new QPushButton("&Same", &form);
    auto* alike = new QPushButton("&Something", &form);
    other->move(0, 30);
    go->move(0, 60);
    same->move(0, 100);
    alike->move(0, 140);
    FormConventions* conventions = FormConventions::Install(&form);
    enum class Rule { Pass, Refuse, Ask } rule = Rule::Pass;
    LeaveWatch leave;
    leave.left = [&] {
        conventions->LeaveRuleDue(box, [&rule, box] {
            if (rule == Rule::Refuse)
                box->setFocus(); // back into the box, as no placement of the program's
            return rule == Rule::Pass || (rule == Rule::Ask && askedAndAnsweredYes());
        });
    };
    box->installEventFilter(&leave);
    int clicks = 0;
    QObject::connect(go, &QPushButton::clicked, [&clicks] { ++clicks; });
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    // Refused when the program clicks it, as the toolbar does: the next click still runs.
    rule = Rule::Refuse;
    box->setFocus();
    go->click();
    QApplication::processEvents();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(QApplication::focusWidget(), box);
    rule = Rule::Pass;
    go->click();
    EXPECT_EQ(clicks, 1);

    // The refused command's give-back is gone: a later mouse click leaves the caret on the button.
    rule = Rule::Refuse;
    box->setFocus();
    go->click();
    QApplication::processEvents();
    rule = Rule::Pass;
    QTest::mouseClick(other, Qt::LeftButton);
    QApplication::processEvents();
    QTest::mouseClick(go, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(QApplication::focusWidget(), go);

    // A right press is no command: the question is asked as the box is left, and nothing runs after Yes.
    rule = Rule::Ask;
    box->setFocus();
    QTest::mousePress(go, Qt::RightButton);
    QTest::mouseRelease(go, Qt::RightButton);
    QTest::qWait(150);
    EXPECT_EQ(clicks, 2);

    // A shared access key only moves the caret: no command, and nothing armed for a later click.
    rule = Rule::Pass;
    form.activateWindow(); // no window manager gives it back after the question
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
    QApplication::processEvents();
    QWidget* reached = QApplication::focusWidget();
    EXPECT_TRUE(reached == same || reached == alike);
    QTest::mouseClick(reached, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), reached);
}
