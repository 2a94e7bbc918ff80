#include "KS_SYS_Message.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_String.h"

namespace {

constexpr int kWindowWidth = 4950;
constexpr int kWindowHeight = 2350;
constexpr int kButtonTop = 1500;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kTallExtra = 2000;
constexpr int kLabelLeft = 900;
constexpr int kLabelTop = 240;
constexpr int kLabelHeight = 1100;
constexpr int kOptionTop = 1140;
constexpr int kOptionHeight = 300;

QLabel* makePicture(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setPixmap(parent->style()->standardIcon(pixmap).pixmap(32, 32));
    picture->setGeometry(Twips(240), Twips(300), 32, 32);
    picture->hide();
    return picture;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

KS_SYS_Message::KS_SYS_Message(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("KS_SYS_Message");
    setModal(true);
    lblMessageText = new QLabel(this);
    lblMessageText->setObjectName("lblMessageText");
    lblMessageText->setWordWrap(true);
    lblMessageText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    pic_Critical = makePicture(this, "pic_Critical", QStyle::SP_MessageBoxCritical);
    pic_Question = makePicture(this, "pic_Question", QStyle::SP_MessageBoxQuestion);
    pic_Exclamation = makePicture(this, "pic_Exclamation", QStyle::SP_MessageBoxWarning);
    pic_Information = makePicture(this, "pic_Information", QStyle::SP_MessageBoxInformation);

    cmd_Ok = makeButton(this, "cmd_Ok", "&Ok");
    cmd_Cancel = makeButton(this, "cmd_Cancel", "&Cancel");
    cmd_Yes = makeButton(this, "cmd_Yes", "&Yes");
    cmd_No = makeButton(this, "cmd_No", "&No");
    connect(cmd_Ok, &QPushButton::clicked, this, &KS_SYS_Message::cmd_Ok_Click);
    connect(cmd_Cancel, &QPushButton::clicked, this, &KS_SYS_Message::cmd_Cancel_Click);
    connect(cmd_Yes, &QPushButton::clicked, this, &KS_SYS_Message::cmd_Yes_Click);
    connect(cmd_No, &QPushButton::clicked, this, &KS_SYS_Message::cmd_No_Click);

    chkOption = new QCheckBox(this);
    chkOption->setObjectName("chkOption");
    chkOption->hide();

    tmrTimeOut = new QTimer(this);
    tmrTimeOut->setObjectName("tmrTimeOut");
    tmrTimeOut->setSingleShot(true);
    connect(tmrTimeOut, &QTimer::timeout, this, &KS_SYS_Message::tmrTimeOut_Timer);

    // The window sees key presses before its controls do.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    setWindowTitle(ToQString(gAppName + " - System Message"));
}

void KS_SYS_Message::Prepare(const MessageRequest& request)
{
    const int extra = request.tall ? kTallExtra : 0;
    const bool withOption = !request.optionText.empty();
    // The check box stands under the text, never over its last line: with it
    // the label ends where the check box begins.
    const int optionTop = kOptionTop + extra;
    const int labelBottom = withOption ? optionTop : kLabelTop + kLabelHeight + extra;
    // A text longer than the label holds would lose its first and last lines
    // (the label centres it); the label grows to take every line, and the
    // check box, the buttons and the window's foot move down by as much.
    lblMessageText->setText(ToQString(request.message));
    const int labelWidth = Twips(kWindowWidth - kLabelLeft - 240);
    const int labelHeight = Twips(labelBottom - kLabelTop);
    const int below = std::max(0, lblMessageText->heightForWidth(labelWidth) - labelHeight);
    setFixedSize(Twips(kWindowWidth), Twips(kWindowHeight + extra) + below);
    lblMessageText->setGeometry(Twips(kLabelLeft), Twips(kLabelTop), labelWidth, labelHeight + below);

    switch (request.icon) {
    case kIconQuestion: pic_Question->show(); break;
    case kIconExclamation: pic_Exclamation->show(); break;
    case kIconInformation: pic_Information->show(); break;
    default: pic_Critical->show(); break;
    }

    struct Placement {
        QPushButton* button;
        int left;
    };
    std::vector<Placement> shown;
    switch (request.buttons) {
    case kButtonsOkCancel:
        shown = {{cmd_Ok, 1550}, {cmd_Cancel, 2850}};
        escapeButton_ = cmd_Cancel;
        break;
    case kButtonsCancel:
        shown = {{cmd_Cancel, 2200}};
        escapeButton_ = cmd_Cancel;
        break;
    case kButtonsYesNoCancel:
        shown = {{cmd_Yes, 900}, {cmd_No, 2200}, {cmd_Cancel, 3500}};
        escapeButton_ = cmd_Cancel;
        break;
    case kButtonsYesNo:
        shown = {{cmd_Yes, 1550}, {cmd_No, 2850}};
        escapeButton_ = cmd_No;
        break;
    case kButtonsOk:
        shown = {{cmd_Ok, 2200}};
        escapeButton_ = cmd_Ok;
        break;
    default:
        shown = {{cmd_Ok, 2200}};
        escapeButton_ = nullptr;
        break;
    }
    for (QPushButton* button : {cmd_Ok, cmd_Cancel, cmd_Yes, cmd_No})
        button->hide();
    for (const auto& [button, left] : shown) {
        button->setGeometry(Twips(left), Twips(kButtonTop + extra) + below, Twips(kButtonWidth), Twips(kButtonHeight));
        button->show();
    }

    if (!request.title.empty())
        setWindowTitle(ToQString(request.title));

    if (!withOption) {
        chkOption->hide();
        chkOption->setChecked(false);
    } else {
        // The tall form moves the check box down with the text's foot; made
        // taller instead it would stand over the text it follows.
        chkOption->setGeometry(Twips(kLabelLeft), Twips(optionTop) + below, labelWidth, Twips(kOptionHeight));
        chkOption->setText(ToQString(request.optionText));
        chkOption->setChecked(request.optionValue);
        chkOption->show();
    }

    gMessageDefaultButton = static_cast<std::int16_t>(request.defaultButton);
    if (request.timeOutEnabled) {
        tmrTimeOut->setInterval(request.timeOutInterval);
        tmrTimeOut->start();
    }
}

void KS_SYS_Message::ShowMe()
{
    pointerWasBusy_ = BusyPointerShown();
    ShowNormalPointer();
    exec();
    tmrTimeOut->stop();
    if (pointerWasBusy_)
        ShowBusyPointer();
}

void KS_SYS_Message::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    switch (gMessageDefaultButton) {
    case kAnswerOk: SafeSetFocus(cmd_Ok); break;
    case kAnswerCancel: SafeSetFocus(cmd_Cancel); break;
    case kAnswerYes: SafeSetFocus(cmd_Yes); break;
    case kAnswerNo: SafeSetFocus(cmd_No); break;
    default: break;
    }
}

void KS_SYS_Message::answer(std::int16_t result)
{
    if (answered_)
        return;
    answered_ = true;
    gMessageResult = result;
    gMessageOption = chkOption->isVisible() && chkOption->isChecked();
    tmrTimeOut->stop();
    done(result);
}

void KS_SYS_Message::tmrTimeOut_Timer()
{
    if (answered_)
        return;
    answered_ = true;
    gMessageResult = kAnswerTimedOut;
    tmrTimeOut->stop();
    tmrTimeOut->setInterval(0);
    done(kAnswerTimedOut);
}

void KS_SYS_Message::pressEscapeButton()
{
    if (escapeButton_)
        escapeButton_->click();
}

bool KS_SYS_Message::handleKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        pressEscapeButton();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget()); focused && focused->window() == this)
            focused->click();
        return true;
    default:
        break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QString text = event->text().toUpper();
    if (text.size() != 1)
        return false;
    QPushButton* target = nullptr;
    switch (text.at(0).unicode()) {
    case 'Y': target = cmd_Yes; break;
    case 'N': target = cmd_No; break;
    case 'O': target = cmd_Ok; break;
    case 'C': target = cmd_Cancel; break;
    default: return false;
    }
    if (target->isVisible())
        target->click();
    return true;
}

void KS_SYS_Message::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}

bool KS_SYS_Message::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

// The title bar's close box acts as Escape; with no Escape button the box stays.
void KS_SYS_Message::closeEvent(QCloseEvent* event)
{
    if (!answered_)
        pressEscapeButton();
    if (answered_)
        event->accept();
    else
        event->ignore();
}

void KS_SYS_Message::reject() { pressEscapeButton(); }
