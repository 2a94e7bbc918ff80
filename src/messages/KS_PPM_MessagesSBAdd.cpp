#include "KS_PPM_MessagesSBAdd.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <vector>

#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_ListWindow.h"
#include "KS_Messages.h"
#include "KS_PPM_MessagesSB.h"
#include "KS_PagingLists.h"
#include "KS_SignBoardFile.h"
#include "KS_String.h"
#include "KS_Toolbar.h"
#include "OptionList.h"

namespace {

// The record holds 200 characters of text; a board shape larger than that still stores only these.
constexpr int kStoredTextLength = 200;

int boxNumber(const QLineEdit* box) { return static_cast<int>(Val(FromQString(box->text()))); }

QString digits(int value, int width) { return ToQString(ZeroPad(value, width)); }

void selectText(QComboBox* combo, const QString& text)
{
    const int index = FindItemText(AsOptionList(combo), FromQString(text));
    if (index >= 0)
        combo->setCurrentIndex(index);
}

constexpr QChar kSoftHyphen(0x00AD);

// The board puts every stored character in a cell of its own, so a line
// holds exactly as many characters as the board shape says. The preview lays
// its lines out the same way, by count, not by width: a soft hyphen, which
// the text layout gives no width, breaks the lines where the board does.
class BoardColumns : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    void SetColumns(int columns)
    {
        columns_ = std::max(columns, 1);
        document()->markContentsDirty(0, document()->characterCount());
    }
    int Columns() const { return columns_; }

    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        const QRectF laidOut = QPlainTextDocumentLayout::blockBoundingRect(block);
        QTextLayout* layout = block.layout();
        const int lines = std::max(1, static_cast<int>((block.text().size() + columns_ - 1) / columns_));
        bool byCount = layout->lineCount() == lines;
        for (int i = 0; byCount && i < lines; ++i)
            byCount = layout->lineAt(i).textStart() == i * columns_;
        if (byCount || relaying_)
            return laidOut;
        const int linesByWidth = layout->lineCount();
        const qreal width = layout->lineAt(0).width();
        const qreal margin = layout->lineAt(0).x();
        layout->beginLayout();
        qreal y = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            line.setNumColumns(columns_);
            line.setPosition(QPointF(margin, y));
            y += line.height();
        }
        layout->endLayout();
        QTextBlock laid = block;
        laid.setLineCount(layout->lineCount());
        // The edit box sizes its scroll range by the lines; it lays the block
        // out again meanwhile, which must not start this over.
        if (layout->lineCount() != linesByWidth) {
            const QScopedValueRollback<bool> relaying(relaying_, true);
            emit const_cast<BoardColumns*>(this)->documentSizeChanged(documentSize());
        }
        return QPlainTextDocumentLayout::blockBoundingRect(block);
    }

private:
    int columns_ = 32;
    mutable bool relaying_ = false;
};

// A soft hyphen is drawn with no width: its cell is given to the character
// before it on its line (or, first on a line, to the one after it), so the
// characters after it stand where the board shows them.
class SoftHyphenCells : public QSyntaxHighlighter {
public:
    SoftHyphenCells(QTextDocument* document, const BoardColumns* columns)
        : QSyntaxHighlighter(document)
        , columns_(columns)
    {
    }

protected:
    void highlightBlock(const QString& text) override
    {
        const int columns = columns_->Columns();
        const qreal cell = QFontMetricsF(document()->defaultFont()).horizontalAdvance(QLatin1Char('W'));
        std::vector<int> cells(static_cast<std::size_t>(text.size()), 0);
        for (int at = 0; at < text.size(); ++at) {
            if (text.at(at) != kSoftHyphen)
                continue;
            const int lineStart = at - at % columns;
            int holder = at - 1;
            while (holder >= lineStart && text.at(holder) == kSoftHyphen)
                --holder;
            if (holder < lineStart)
                for (holder = at + 1; holder < lineStart + columns && holder < text.size()
                     && text.at(holder) == kSoftHyphen;)
                    ++holder;
            if (holder >= lineStart && holder < lineStart + columns && holder < text.size())
                ++cells[static_cast<std::size_t>(holder)];
        }
        for (int at = 0; at < text.size(); ++at)
            if (const int extra = cells[static_cast<std::size_t>(at)]) {
                QTextCharFormat wider;
                wider.setFontLetterSpacingType(QFont::AbsoluteSpacing);
                wider.setFontLetterSpacing(extra * cell);
                setFormat(at, 1, wider);
            }
    }

private:
    const BoardColumns* columns_;
};

} // namespace

KS_PPM_MessagesSBAdd::KS_PPM_MessagesSBAdd(KS_PPM_MessagesSB* list)
    : QDialog(list)
    , list_(list)
{
    setObjectName("KS_PPM_MessagesSBAdd");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Sign Board Messages");

    QWidget* client = BuildToolbarForm(this, tlbMenu, 6000, 3480);
    const FormControl controls[] = {
        Control(Label1, "Label1", "&Text:", {120, 120, 1500, 255}),
        Control(fraSimulation, "fraSimulation", "Simulation", {120, 360, 5760, 1560}),
        Control(txtMessage, "txtMessage", "", {120, 240, 4200, 1200}, 0, "fraSimulation"),
        Control(lblSlot, "lblSlot", "&Slot:", {120, 2100, 1200, 255}),
        Control(cmbSlot, "cmbSlot", "", {1380, 2040, 1000, 315}),
        Control(lblFontSize, "lblFontSize", "&Font Size:", {120, 2520, 1200, 255}),
        Control(cmbFontSize, "cmbFontSize", "", {1380, 2460, 1000, 315}),
        Control(lblDelay, "lblDelay", "&Delay:", {2640, 2100, 900, 255}),
        Control(cmbDelay, "cmbDelay", "", {3540, 2040, 700, 315}),
        Control(lblSeconds, "lblSeconds", "(Sec.)", {4320, 2100, 600, 255}),
        Control(lblAlignment, "lblAlignment", "&Effect:", {2640, 2520, 900, 255}),
        Control(cmbEffect, "cmbEffect", "", {3540, 2460, 700, 315}),
        Control(lblCapCodeInc, "lblCapCodeInc", "C&haracters per Line:", {120, 2940, 1800, 255}),
        // Each up-down is its arrows alone, against its box's right edge: the
        // box holds and shows the number, so it shows once.
        Control(txtCharPerLine, "txtCharPerLine", "", {1980, 2880, 400, 315}, 2),
        Control(updCharPerLine, "updCharPerLine", "", {2380, 2880, 300, 315}, 32),
        Control(lblLines, "lblLines", "&Lines:", {3240, 2940, 600, 255}),
        Control(txtLines, "txtLines", "", {3900, 2880, 300, 315}, 1),
        Control(updLines, "updLines", "", {4200, 2880, 300, 315}, 8),
        Control(cmdOk, "cmdOk", "&Ok", {4980, 2040, 900, 375}),
        Control(cmdCancel, "cmdCancel", "&Cancel", {4980, 2460, 900, 375}),
    };
    BuildControls(client, controls);
    // The text box sits in the frame that follows the label, so Alt+T is pointed at it by name.
    Label1->setBuddy(txtMessage);

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    txtMessage->setFont(fixed);
    txtMessage->setWordWrapMode(QTextOption::WrapAnywhere);
    columns_ = new BoardColumns(txtMessage->document());
    txtMessage->document()->setDocumentLayout(columns_);
    new SoftHyphenCells(txtMessage->document(), static_cast<BoardColumns*>(columns_));
    txtMessage->setTabChangesFocus(true);
    // The scroll bar is always there, so the room for the characters never
    // changes when a text grows past the lines the box shows.
    txtMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMessage->installEventFilter(this);

    connect(cmdOk, &QPushButton::clicked, this, &KS_PPM_MessagesSBAdd::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &KS_PPM_MessagesSBAdd::cmdCancel_Click);
    connect(txtCharPerLine, &QLineEdit::editingFinished, this, &KS_PPM_MessagesSBAdd::txtCharPerLine_Validate);
    connect(txtLines, &QLineEdit::editingFinished, this, &KS_PPM_MessagesSBAdd::txtLines_Validate);
    connect(updCharPerLine, &QSpinBox::valueChanged, this, [this](int value) {
        txtCharPerLine->setText(digits(value, 2));
        UpdateSimulation();
    });
    connect(updLines, &QSpinBox::valueChanged, this, [this](int value) {
        txtLines->setText(digits(value, 1));
        UpdateSimulation();
    });
    // Installed after this form's own filter, so a key past the room is refused before a space is made over.
    room_ = new TextRoom(txtMessage, kStoredTextLength);
    connect(txtMessage, &QPlainTextEdit::textChanged, this, &KS_PPM_MessagesSBAdd::keepSpacesInTheirCells);

    FormConventions* conventions = FormConventions::Install(this);
    conventions->SetKeyFilter(txtCharPerLine, DigitsOnlyKey);
    conventions->SetKeyFilter(txtLines, DigitsOnlyKey);
    Form_Load();
}

void KS_PPM_MessagesSBAdd::Form_Load()
{
    PlaceTableWindow(this);
    InitToolbar();
    updCharPerLine->setRange(2, 32);
    updLines->setRange(1, 8);
    FillSBMessageSlotCombo(AsOptionList(cmbSlot), 0);
    FillFontSizeCombo(AsOptionList(cmbFontSize), 0);
    FillSBMessageDelayCombo(AsOptionList(cmbDelay), 0);
    FillSBMessageEffectCombo(AsOptionList(cmbEffect), 0);
    if (list_->mode_ != 1) {
        setWindowTitle(windowTitle() + " - Update");
        LoadSelectedMessage();
    }
    UpdateSimulation();
}

void KS_PPM_MessagesSBAdd::InitToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdOk", "&Ok", "Save Changes", "Ok"},
        {"cmdCancel", "&Cancel", "Exit Without Saving", "Cancel"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void KS_PPM_MessagesSBAdd::LoadSelectedMessage()
{
    const QTreeWidgetItem* row = SelectedListRow(list_->lvwMessages);
    if (!row)
        return;
    // A row of zeros from a short file takes the nearest shape the board allows.
    updLines->setValue(static_cast<int>(Val(FromQString(row->text(SignBoardColumn::Lines)))));
    txtLines->setText(digits(updLines->value(), 1));
    updCharPerLine->setValue(static_cast<int>(Val(FromQString(row->text(SignBoardColumn::CharPerLine)))));
    txtCharPerLine->setText(digits(updCharPerLine->value(), 2));
    QString text = row->text(SignBoardColumn::Text);
    while (text.endsWith(' '))
        text.chop(1);
    txtMessage->setPlainText(text);
    selectText(cmbSlot, row->text(SignBoardColumn::Slot));
    selectText(cmbFontSize, row->text(SignBoardColumn::Font));
    selectText(cmbDelay, row->text(SignBoardColumn::Delay));
    selectText(cmbEffect, row->text(SignBoardColumn::Effect));
}

int KS_PPM_MessagesSBAdd::MessageMaxLength() const { return room_->Room(); }

void KS_PPM_MessagesSBAdd::UpdateSimulation()
{
    // As wide as one line of the board in the preview's own font, so the text
    // breaks where the board breaks it, whatever the desktop's font.
    const double line = QFontMetricsF(txtMessage->font()).horizontalAdvance(QString(updCharPerLine->value(), 'W'))
                      + 2 * txtMessage->document()->documentMargin();
    const int chrome = 2 * txtMessage->frameWidth() + txtMessage->verticalScrollBar()->sizeHint().width();
    static_cast<BoardColumns*>(columns_)->SetColumns(updCharPerLine->value());
    if (auto* cells = txtMessage->document()->findChild<QSyntaxHighlighter*>())
        cells->rehighlight();
    txtMessage->resize(chrome + static_cast<int>(std::ceil(line)) + 1, txtMessage->height());
    // Never more than the record stores, so a save keeps everything typed.
    room_->SetRoom(std::clamp(boxNumber(txtCharPerLine) * boxNumber(txtLines), 0, kStoredTextLength));
}

// The board gives a space its own cell like any letter, so a space that falls
// past a line's end starts the next line; the preview lets an ordinary space
// hang past its edge instead. Each space is held as a no-break space, which
// wraps as a letter does, and which the box's plain text gives back as a space.
void KS_PPM_MessagesSBAdd::keepSpacesInTheirCells()
{
    QTextDocument* document = txtMessage->document();
    // Right after an undo the spaces it brought back stay as they are: making
    // them over would be a new edit and leave the operator nothing to redo.
    if (document->availableRedoSteps() > 0)
        return;
    // The document's own search finds no-break spaces too, so the text is walked.
    std::vector<int> spaces;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (int i = 0; i < text.size(); ++i)
            if (text.at(i) == u' ')
                spaces.push_back(block.position() + i);
    }
    if (spaces.empty())
        return;
    // The spaces belong to the edit that brought them (a paste, a drop), so
    // one undo takes back the whole of it. A text just set holds no edit yet:
    // making its spaces over is no step of the operator's.
    const bool justSet = document->availableUndoSteps() == 0;
    if (justSet)
        document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    if (justSet)
        cursor.beginEditBlock();
    else
        cursor.joinPreviousEditBlock();
    for (const int position : spaces) {
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.insertText(QString(QChar::Nbsp));
    }
    cursor.endEditBlock();
    if (justSet)
        document->setUndoRedoEnabled(true);
}

bool KS_PPM_MessagesSBAdd::eventFilter(QObject* watched, QEvent* event)
{
    // A typed space goes in as the no-break space at once, one undo step with its neighbours.
    if (watched == txtMessage && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == " " && !txtMessage->isReadOnly()) {
            txtMessage->insertPlainText(QString(QChar::Nbsp));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KS_PPM_MessagesSBAdd::validateSizeBox(QLineEdit* box, QSpinBox* upDown)
{
    const int value = std::clamp(boxNumber(box), upDown->minimum(), upDown->maximum());
    box->setText(digits(value, box->maxLength()));
    upDown->setValue(value);
    UpdateSimulation();
}

void KS_PPM_MessagesSBAdd::txtCharPerLine_Validate() { validateSizeBox(txtCharPerLine, updCharPerLine); }

void KS_PPM_MessagesSBAdd::txtLines_Validate() { validateSizeBox(txtLines, updLines); }

void KS_PPM_MessagesSBAdd::cmdOk_Click()
{
    if (Trim(FromQString(txtMessage->toPlainText())).empty()) {
        ShowMessage("Please enter text.", kButtonsOk, kAnswerOk, kIconCritical);
        SafeSetFocus(txtMessage);
        return;
    }
    if (SaveSignBoardMessage())
        close();
    else
        SafeSetFocus(txtMessage);
}

bool KS_PPM_MessagesSBAdd::SaveSignBoardMessage()
{
    QTreeWidgetItem* row = SelectedListRow(list_->lvwMessages);
    if (!row)
        return false;
    SetFormContentsEnabled(this, false);
    ShowBusyPointer();
    std::string text = FromQString(txtMessage->toPlainText());
    text.erase(text.find_last_not_of(' ') + 1);
    const int messageNo = static_cast<int>(Val(FromQString(row->text(0))));

    SignBoardMessage m;
    m.No = ZeroPad(messageNo, 3);
    m.Text = PadRight(text, kStoredTextLength);
    m.Slot = static_cast<std::uint8_t>(AsOptionList(cmbSlot).ItemData(cmbSlot->currentIndex()));
    m.Font = static_cast<std::uint8_t>(Val(FontSizeText(FromQString(cmbFontSize->currentText()), false)));
    m.Delay = static_cast<std::int16_t>(AsOptionList(cmbDelay).ItemData(cmbDelay->currentIndex()));
    m.Effect = static_cast<std::uint8_t>(Val(FromQString(cmbEffect->currentText())));
    m.Lines = static_cast<std::int16_t>(updLines->value());
    m.CharPerLine = static_cast<std::int16_t>(updCharPerLine->value());
    const FileError error = WriteSignBoardMessage(messageNo, m);
    SetFormContentsEnabled(this, true);
    ShowNormalPointer();
    if (error != FileError::None) {
        ShowMessage(FileUpdateErrorMessage(error, SignBoardFilePath()),
                    kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    }

    if (list_->mode_ != 1) {
        row->setText(SignBoardColumn::Text, ToQString(BlankControlChars(text)));
        row->setText(SignBoardColumn::Slot, cmbSlot->currentText());
        row->setText(SignBoardColumn::Font, cmbFontSize->currentText());
        row->setText(SignBoardColumn::Delay, cmbDelay->currentText());
        row->setText(SignBoardColumn::Effect, cmbEffect->currentText());
        row->setText(SignBoardColumn::Lines, digits(updLines->value(), 1));
        row->setText(SignBoardColumn::CharPerLine, digits(updCharPerLine->value(), 2));
    }
    list_->ShowSavedRow(row);
    return true;
}
