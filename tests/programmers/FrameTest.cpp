// What the programmer windows share: boxes on leaving.
#include <QApplication>
#include <QFocusEvent>

#include "KS_GEN_ClockProgrammer.h"
#include "KS_GEN_PaddleProgrammer.h"
#include "KS_Messages.h"
#include "ProgrammerFixture.h"

namespace {

void LeaveBox(QWidget* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &out);
    QApplication::processEvents();
}

} // namespace

using PaddleFrame = ProgrammerFixture<KS_GEN_PaddleProgrammer, sim::PaddleDevice>;
using ClockFrame = ProgrammerFixture<KS_GEN_ClockProgrammer, sim::ClockDevice>;

TEST_F(PaddleFrame, DigitBoxesArePaddedToTheirLengthOnLeaving)
{
    const struct {
        QLineEdit* box;
        const char* typed;
        const char* left;
    } cases[] = {
        {window->txtCapcode[0], "8", "0000008"},
        {window->txtIncrement[1], "5", "05"},
        {window->txtIncrement[2], "", "00"},
    };
    for (const auto& c : cases) {
        Type(c.box, c.typed);
        LeaveBox(c.box);
        EXPECT_EQ(c.box->text().toStdString(), c.left);
    }
}

TEST_F(ClockFrame, AFrequencyBoxIsReformattedOnLeavingAndOutOfRangeTakesTheFocusBack)
{
    harness.messages.Answer(kAnswerOk);
    Type(window->txtFrequency, "79.9999");
    LeaveBox(window->txtFrequency);
    EXPECT_EQ(window->txtFrequency->text(), "079.9999");
    EXPECT_EQ(harness.messages.texts().back(), "The entered frequency is not supported by this device. Please enter "
                                               "a frequency between 80 MHz and 950 MHz.");
    Type(window->txtFrequency, "467.8");
    LeaveBox(window->txtFrequency);
    EXPECT_EQ(window->txtFrequency->text(), "467.8000");
    EXPECT_EQ(harness.messages.shown().size(), 1u);
}
