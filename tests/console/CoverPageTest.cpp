#include <QClipboard>
#include <QTest>
#include <QTimer>

#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_GEN_CoverPage.h"

namespace {

constexpr const char* kDefaultText = "Testing - Sending Cover Page";

struct CoverPageFixture : testing::Test {
    CoverPageFixture()
        : form(harness.Load())
        , page(&form)
    {
    }
    void choose(int repeatItem)
    {
        page.cmbRepeatTime->setCurrentIndex(repeatItem);
        page.cmbRepeatTime_Click();
    }
    // Pager numbers of the pages the encoder received since the last call.
    Lines pagedNumbers()
    {
        Lines numbers;
        for (const auto& line : harness.Pages())
            if (line.substr(4) == kDefaultText)
                numbers.push_back(line.substr(1, 3));
        return numbers;
    }
    // Runs the pump for that many ticks with the window's timer on the pump's
    // clock, due every interval's worth of 50 ms ticks from `since`; returns the
    // ticks at which pages reached the encoder meanwhile.
    std::vector<std::int64_t> pageTicksOver(std::int64_t ticks, std::int64_t since)
    {
        const std::int64_t period = page.tmrCoverPage->interval() / 50;
        const std::int64_t from = gDelayTicks;
        for (std::int64_t due = since + period; gDelayTicks < from + ticks;) {
            if (gDelayTicks < due) {
                WaitForEvents();
                continue;
            }
            due += period;
            page.tmrCoverPage_Timer();
        }
        std::vector<std::int64_t> pages;
        for (const auto& entry : harness.engine.Transcript())
            if (entry.fromHost && entry.tick >= from && entry.bytes.rfind('P', 0) == 0)
                pages.push_back(entry.tick);
        return pages;
    }
    ConsoleHarness harness{{{5, "Anna", "A"}, {6, "Bert", "A"}}};
    KS_MainForm& form;
    KS_GEN_CoverPage page;
    const std::int64_t opened = gDelayTicks;
};

// The gaps between successive ticks.
std::vector<std::int64_t> gaps(const std::vector<std::int64_t>& ticks)
{
    std::vector<std::int64_t> between;
    for (std::size_t i = 1; i < ticks.size(); ++i)
        between.push_back(ticks[i] - ticks[i - 1]);
    return between;
}

} // namespace

TEST_F(CoverPageFixture, MinuteModeSendsOnEveryNthMinuteAndSecondModeOnEveryEvent)
{
    page.txtUserID->setText("7");
    choose(12); // "2 Min."
    std::vector<std::size_t> pagesAfterEvent;
    for (int event = 0; event < 4; ++event) {
        page.tmrCoverPage_Timer();
        pagesAfterEvent.push_back(pagedNumbers().size());
    }
    EXPECT_EQ(pagesAfterEvent, (std::vector<std::size_t>{0, 1, 0, 1}));
    EXPECT_EQ(gCoverPageRequest.Kind, PageRequest::kCoverPage);

    choose(0); // "5 Sec."
    page.tmrCoverPage_Timer();
    page.tmrCoverPage_Timer();
    EXPECT_EQ(pagedNumbers(), (Lines{"007", "007"}));
}

TEST_F(CoverPageFixture, ItOpensSendingEveryThirtySecondsAndAMinuteChoiceSendsEveryThatManyMinutes)
{
    EXPECT_EQ(page.cmbRepeatTime->currentText(), "30 Sec.");
    const auto seconds = pageTicksOver(1950, opened);
    ASSERT_EQ(seconds.size(), 3u);
    EXPECT_GT(seconds[0] - opened, 600); // none before the first 30 s are up
    EXPECT_EQ(gaps(seconds), (std::vector<std::int64_t>{600, 600}));

    const std::int64_t chosen = gDelayTicks;
    choose(12); // "2 Min."
    const auto minutes = pageTicksOver(7400, chosen);
    ASSERT_EQ(minutes.size(), 3u);
    EXPECT_GT(minutes[0] - chosen, 2400);
    EXPECT_EQ(gaps(minutes), (std::vector<std::int64_t>{2400, 2400}));
}

TEST_F(CoverPageFixture, AnEventDueWhileItsPageIsInFlightIsSkippedAndTheNextOneSends)
{
    choose(0);
    harness.ActAtYield(5, [this] { page.tmrCoverPage_Timer(); }); // comes due inside the first page's wait
    page.tmrCoverPage_Timer();
    EXPECT_TRUE(harness.actedInConversation);
    EXPECT_EQ(pagedNumbers().size(), 1u);
    page.tmrCoverPage_Timer();
    EXPECT_EQ(pagedNumbers().size(), 1u);
}

TEST_F(CoverPageFixture, RandomizePicksAListedPagerAndKeepsTheTypedOneWithoutUsers)
{
    choose(0);
    page.chkRandomize->setChecked(true);
    for (int event = 0; event < 6; ++event)
        page.tmrCoverPage_Timer();
    const auto numbers = pagedNumbers();
    ASSERT_EQ(numbers.size(), 6u);
    for (const auto& number : numbers)
        EXPECT_TRUE(number == "005" || number == "006") << number;

    form.lvwUsers->clear();
    page.txtUserID->setText("42");
    page.tmrCoverPage_Timer();
    EXPECT_EQ(pagedNumbers(), Lines{"042"});
}

TEST_F(CoverPageFixture, TheTimeStampFollowsTheTextAsMonthDayYearAnd24HourTime)
{
    const QDateTime moment(QDate(2014, 12, 24), QTime(16, 5, 9));
    SetClockForTest([moment] { return moment.toUTC(); });
    choose(0);
    page.chkTimeStamp->setChecked(true);
    page.tmrCoverPage_Timer();
    EXPECT_EQ(gCoverPageRequest.Message, std::string(kDefaultText) + ". Date & Time: 12/24/14 16:05:09");
    EXPECT_EQ(CoverPageText("", true, QDateTime(QDate(2009, 1, 2), QTime(3, 4, 5))), ". Date & Time: 01/02/09 03:04:05");
}

TEST_F(CoverPageFixture, EscapeInThePagerBoxClosesTheWindowAndEndsTheTest)
{
    page.show();
    page.activateWindow();
    page.txtUserID->setFocus();
    QApplication::processEvents();
    page.tmrCoverPage->start();
    QTest::keyClick(page.txtUserID, Qt::Key_Escape);
    EXPECT_FALSE(page.isVisible());
    EXPECT_FALSE(page.tmrCoverPage->isActive());
    page.hide();
}

TEST_F(CoverPageFixture, APagerNumberPastedWithABlankPagesOnlyTheDigitsPasted)
{
    choose(0);
    page.txtUserID->selectAll();
    QApplication::clipboard()->setText("1 2");
    page.txtUserID->paste();
    EXPECT_EQ(page.txtUserID->text(), "12");
    page.tmrCoverPage_Timer();
    EXPECT_EQ(pagedNumbers(), Lines{"012"});
}
