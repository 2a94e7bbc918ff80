#include "KS_SYS_About.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_String.h"

#ifndef PAGORA_VERSION
#define PAGORA_VERSION "1.0"
#endif

std::string AboutProgramText()
{
    return gAppName + "\nVersion " + PAGORA_VERSION + "\n"
        + "Console for an on-site paging encoder: users, pages, message tables, schedules and wireless devices.\n";
}

std::string AboutSystemText()
{
    std::string text = "Encoder Model: ";
    if (gEncoderModelName == "encoder" || Trim(gEncoderModelName).empty()) {
        text += kUnknownEncoderName;
    } else {
        text += gEncoderModelName;
        if (!gEncoderIdentified)
            text += " (N/C)";
    }
    text += "\nSerial Number: ";
    if (Val(gEncoderSerialNumber) != 0)
        text += gEncoderSerialNumber;
    text += "\n";
    return text;
}

KS_SYS_About::KS_SYS_About(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("KS_SYS_About");
    setWindowTitle(ToQString("About " + gAppName));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips(6000), Twips(3900));

    txtAbout = new QPlainTextEdit(this);
    txtAbout->setObjectName("txtAbout");
    txtAbout->setReadOnly(true);
    txtAbout->setGeometry(Twips(240), Twips(240), Twips(5520), Twips(1500));
    txtAbout->setPlainText(ToQString(AboutProgramText()));

    txtSystemInfo = new QPlainTextEdit(this);
    txtSystemInfo->setObjectName("txtSystemInfo");
    txtSystemInfo->setReadOnly(true);
    txtSystemInfo->setGeometry(Twips(240), Twips(1860), Twips(5520), Twips(1100));
    txtSystemInfo->setPlainText(ToQString(AboutSystemText()));

    cmdOk = new QPushButton("&Ok", this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setGeometry(Twips(2500), Twips(3120), Twips(1000), Twips(375));
    connect(cmdOk, &QPushButton::clicked, this, &KS_SYS_About::cmdOk_Click);
}

void KS_SYS_About::cmdOk_Click()
{
    accept();
    close();
}
