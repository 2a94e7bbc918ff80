#include "KS_SYS_Login.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_String.h"

bool PasswordMatches(std::string_view entry, std::string_view stored)
{
    // Every letter the box takes, not only the ASCII ones ("é" matches "É").
    return ToQString(Trim(entry)).compare(ToQString(Trim(stored)), Qt::CaseInsensitive) == 0;
}

KS_SYS_Login::KS_SYS_Login(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("KS_SYS_Login");
    setWindowTitle(ToQString(gAppName + " -  Admin Login"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips(4200), Twips(1900));

    tlbMenu = new QToolBar(this);
    tlbMenu->setObjectName("tlbMenu");
    tlbMenu->setGeometry(0, 0, Twips(4200), Twips(450));

    Label1 = new QLabel("Password:", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(Twips(240), Twips(720), Twips(1000), Twips(300));

    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName("txtPassword");
    ShowAsPassword(txtPassword);
    txtPassword->setMaxLength(10);
    txtPassword->setGeometry(Twips(1300), Twips(690), Twips(2100), Twips(330));

    // Takes the focus only after the password box, so that Enter there means OK.
    // It has no size: the operator would otherwise see an empty box beside the
    // password and type into it.
    txtDummy = new QLineEdit(this);
    txtDummy->setObjectName("txtDummy");
    txtDummy->setGeometry(Twips(3500), Twips(690), 0, 0);
    txtDummy->hide();

    cmdOk = new QPushButton("&Ok", this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setGeometry(Twips(1300), Twips(1260), Twips(1000), Twips(375));
    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setGeometry(Twips(2400), Twips(1260), Twips(1000), Twips(375));
    for (QPushButton* button : {cmdOk, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    QWidget::setTabOrder(txtPassword, txtDummy);
    QWidget::setTabOrder(txtDummy, cmdOk);
    QWidget::setTabOrder(cmdOk, cmdCancel);

    auto* okAction = tlbMenu->addAction(style()->standardIcon(QStyle::SP_DialogOkButton), "Ok");
    okAction->setObjectName("cmdOk");
    auto* cancelAction = tlbMenu->addAction(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel");
    cancelAction->setObjectName("cmdCancel");
    connect(okAction, &QAction::triggered, cmdOk, &QPushButton::click);
    connect(cancelAction, &QAction::triggered, cmdCancel, &QPushButton::click);

    connect(cmdOk, &QPushButton::clicked, this, &KS_SYS_Login::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &KS_SYS_Login::cmdCancel_Click);

    txtPassword->installEventFilter(this);
    FormConventions::Install(this);
}

bool KS_SYS_Login::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPassword) {
        if (event->type() == QEvent::FocusIn)
            txtPassword_GotFocus();
        else if (event->type() == QEvent::FocusOut)
            txtPassword_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void KS_SYS_Login::txtPassword_GotFocus() { txtDummy->show(); }

void KS_SYS_Login::txtPassword_LostFocus()
{
    // The focus moves after this event; look once it has landed.
    QTimer::singleShot(0, this, [this] {
        if (QApplication::focusWidget() == txtDummy)
            cmdOk_Click();
        else
            txtDummy->hide();
    });
}

void KS_SYS_Login::cmdOk_Click()
{
    gAdminMode = false;
    if (PasswordMatches(FromQString(txtPassword->text()), gAdminPassword)) {
        gAdminMode = true;
        accept();
        close();
        return;
    }
    ShowMessage("Invalid password. Please enter password.", kButtonsOk, kAnswerOk, kIconCritical);
    SafeSetFocus(txtPassword);
    txtPassword->clear();
}

void KS_SYS_Login::cmdCancel_Click()
{
    reject();
    close();
}
