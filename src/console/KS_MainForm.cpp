#include "KS_MainForm.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_String.h"

namespace {
// The console's colours were given blue-green-red; these are the same colours as RGB.
constexpr QRgb kStatusColour = 0xFFFF80;      // the line's normal text
constexpr QRgb kStatusErrorColour = 0x00FFFF; // an error text, which blinks
} // namespace

KS_MainForm::KS_MainForm(QWidget* parent)
    : MainWindowBase(parent)
{
    setObjectName("KS_MainForm");
    gMainForm = this;
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    txtStatus = new QLineEdit(central);
    txtStatus->setObjectName("txtStatus");
    txtStatus->setReadOnly(true);
    txtStatus->setStyleSheet("background-color: black; color: #00FFFF;"); // as designed, before any report
    layout->addStretch();
    layout->addWidget(txtStatus);
    setCentralWidget(central);
    resize(Twips(9600), Twips(7200));

    tmrDelay = new QTimer(this);
    tmrDelay->setObjectName("tmrDelay");
    tmrDelay->setInterval(50);
    connect(tmrDelay, &QTimer::timeout, this, &KS_MainForm::tmrDelay_Timer);
    tmrDelay->start();

    SetStatusSink([this](const std::string& text, bool isError, int beeps) { ReportStatus(text, isError, beeps); });
}

KS_MainForm::~KS_MainForm()
{
    SetStatusSink({});
    if (gMainForm == this)
        gMainForm = nullptr;
}

void KS_MainForm::Form_Load()
{
    setWindowTitle(ToQString(gAppName));
    if (!gAutoHide)
        show();
    DoEvents();
}

void KS_MainForm::tmrDelay_Timer() { AdvanceTick(); }

void KS_MainForm::WaitTicks(int noOf50msCycles) { ::WaitTicks(noOf50msCycles); }

void KS_MainForm::ReportStatus(const std::string& statusText, bool isError, int noOfBeeps)
{
    if (noOfBeeps < 0)
        noOfBeeps = isError ? 3 : 0;
    const QString text = ToQString(statusText);
    const QRgb colour = isError ? kStatusErrorColour : kStatusColour;
    txtStatus->setStyleSheet(QStringLiteral("background-color: black; color: #%1;").arg(colour, 6, 16, QLatin1Char('0')));
    txtStatus->setText(text);
    if (isVisible()) {
        for (int i = 0; i < noOfBeeps; ++i) {
            QApplication::beep();
            txtStatus->setText(text);
            DoEvents();
            WaitTicks(15);
            if (isError)
                txtStatus->setText(QString());
            DoEvents();
            WaitTicks(10);
        }
    }
    DoEvents();
}
