#include <gtest/gtest.h>

#include <clocale>
#include <functional>

#include "KS_Globals.h"
#include "KS_PagingLists.h"

namespace {

class PagingLists : public testing::Test {
protected:
    void TearDown() override
    {
        gEncoderModelLetter = "N/A";
        gEncoderFamily.clear();
    }
};

MemoryOptionList filled(const std::function<void(OptionList&)>& filler)
{
    MemoryOptionList list;
    filler(list);
    return list;
}

std::string last(const OptionList& list) { return list.ItemText(list.ItemCount() - 1); }

} // namespace

TEST_F(PagingLists, PagerTypeListDropsTwoTypesOnTheQX7)
{
    gEncoderFamily = "QX8XXX";
    auto types = filled([](OptionList& l) { FillPagerTypeCombo(l, 0); });
    EXPECT_EQ(types.ItemCount(), 10);
    EXPECT_EQ(types.ItemText(0), "Tone-Only");
    gEncoderFamily = "QX7XXX";
    types = filled([](OptionList& l) { FillPagerTypeCombo(l, 0); });
    EXPECT_EQ(types.ItemCount(), 8);
    EXPECT_EQ(FindItemText(types, "Widearea"), -1);
    EXPECT_EQ(FindItemText(types, "Portable Radio"), -1);
    EXPECT_EQ(last(types), "Intercom Station");
}

TEST_F(PagingLists, GroupListFollowsTheEncoderClass)
{
    struct Case {
        const char* letter;
        const char* family;
        int count;
        const char* first;
        const char* second;
        const char* lastItem;
    };
    const Case cases[] = {
        {"K", "QX7XXX", 100, " ", "01", "99"},
        {"X", "QX8XXX", 100, " ", "01", "99"},
        {"U", "", 100, " ", "01", "99"},
        {"A", "QX8XXX", 32, "0", "1", "V"},
        {"N/A", "N/A", 32, "0", "1", "V"},
    };
    for (const auto& c : cases) {
        gEncoderModelLetter = c.letter;
        gEncoderFamily = c.family;
        const auto groups = filled([](OptionList& l) { FillPagerGroupCombo(l, -1); });
        EXPECT_EQ(groups.ItemCount(), c.count) << c.letter;
        EXPECT_EQ(groups.ItemText(0), c.first) << c.letter;
        EXPECT_EQ(groups.ItemText(1), c.second) << c.letter;
        EXPECT_EQ(last(groups), c.lastItem) << c.letter;
        EXPECT_EQ(groups.SelectedIndex(), -1);
    }
}

TEST_F(PagingLists, FillersAppendAndSelectOnlyWithinTheList)
{
    MemoryOptionList list;
    FillAlarmInputTypeCombo(list, 8);
    EXPECT_EQ(list.ItemCount(), 8);
    EXPECT_EQ(list.SelectedIndex(), -1);
    FillAlarmInputTypeCombo(list, 15); // a second call doubles the list and may select the last item
    EXPECT_EQ(list.ItemCount(), 16);
    EXPECT_EQ(list.SelectedIndex(), 15);
}

TEST_F(PagingLists, CountedListsStartWithNone)
{
    const auto minutes = filled([](OptionList& l) { FillRepeatMinutesCombo(l, 99, 0); });
    EXPECT_EQ(minutes.ItemCount(), 100);
    EXPECT_EQ(minutes.ItemText(1), "1 Min.");
    EXPECT_EQ(last(minutes), "99 Min.");
    EXPECT_EQ(minutes.ItemData(99), 99);
    const auto seconds = filled([](OptionList& l) { FillDelaySecondsCombo(l, 240, 0); });
    EXPECT_EQ(last(seconds), "240 Sec.");
    EXPECT_EQ(seconds.SelectedIndex(), 0);
    const auto none = filled([](OptionList& l) { FillDelaySecondsCombo(l, 0, 0); });
    EXPECT_EQ(none.ItemCount(), 1);
    EXPECT_EQ(none.ItemData(0), 0);
}

TEST_F(PagingLists, AlertNumberListPutsTheCountdownAtNine)
{
    const auto alerts = filled([](OptionList& l) { FillAlertNumberCombo(l, 0, 1, 15); });
    ASSERT_EQ(alerts.ItemCount(), 15);
    EXPECT_EQ(alerts.ItemText(7), "08 - Alert 08");
    EXPECT_EQ(alerts.ItemText(8), "9 - Start Countdown");
    EXPECT_EQ(alerts.ItemData(8), 9);
    EXPECT_EQ(alerts.ItemText(9), "10 - Alert 10");
    EXPECT_EQ(alerts.ItemData(9), 58);
    for (int i = 0; i < alerts.ItemCount(); ++i) { // the datum reads back as the item's number
        const std::string text = alerts.ItemText(i);
        EXPECT_EQ(AlertNumberCode(std::to_string(alerts.ItemData(i)), false), text.substr(0, text.find(' ')));
    }

    const auto custom = filled([](OptionList& l) { FillAlertNumberCombo(l, 0, 11, 99); });
    EXPECT_EQ(custom.ItemCount(), 89);
    EXPECT_EQ(custom.ItemData(0), 59);
    EXPECT_EQ(last(custom), "99 - Alert 99");
    EXPECT_EQ(custom.ItemData(88), 147);
    EXPECT_EQ(filled([](OptionList& l) { FillAlertNumberCombo(l); }).ItemCount(), 16);
}

TEST_F(PagingLists, AlertTypeListsOfTheCalendarAndTheSpeaker)
{
    const auto calendar = filled([](OptionList& l) { FillAlertTypeCombo(l, 0, 1, 99, true); });
    EXPECT_EQ(calendar.ItemCount(), 90);
    EXPECT_EQ(calendar.ItemText(7), "08 - Alert 08");
    EXPECT_EQ(calendar.ItemText(8), "11 - Alert 11 (Custom)");
    EXPECT_EQ(calendar.ItemText(88), "98 - Start Countdown");
    EXPECT_EQ(last(calendar), "99 - Device Activation");
    EXPECT_EQ(calendar.ItemData(89), 99);

    const auto speaker = filled([](OptionList& l) { FillAlertTypeCombo(l, 0, 1, 99, false); });
    EXPECT_EQ(speaker.ItemCount(), 88);
    EXPECT_EQ(last(speaker), "90 - Alert 90 (Custom)");
    EXPECT_EQ(speaker.ItemData(87), 90);
    for (int i = 0; i < calendar.ItemCount(); ++i) {
        const std::string code = std::to_string(calendar.ItemData(i));
        EXPECT_EQ(AlertTypeText(code, true), calendar.ItemText(i));
        EXPECT_EQ(std::stoi(AlertTypeText(calendar.ItemText(i), false)), calendar.ItemData(i));
    }
}

TEST_F(PagingLists, AlertConvertersAtTheirEdges)
{
    EXPECT_EQ(AlertNumberCode("999", true), "");
    EXPECT_EQ(AlertNumberCode("58", true), "10");
    EXPECT_EQ(AlertNumberCode("58", false), "10");
    EXPECT_EQ(AlertNumberCode("9", false), "9");
    EXPECT_EQ(AlertNumberCode("9", true), "09");
    EXPECT_EQ(AlertTypeText("10", true), "10 - Alert 10");
    EXPECT_EQ(AlertRepeatText("12", true), "1");
    EXPECT_EQ(AlertDelayText("0", true), "1 Second");
}

TEST_F(PagingLists, ConvertersAgreeWithTheirListsBothWays)
{
    using Filler = std::function<void(OptionList&)>;
    using Converter = std::string (*)(std::string_view, bool);
    const std::pair<Filler, Converter> pairs[] = {
        {[](OptionList& l) { FillAlertRepeatCombo(l, 0); }, AlertRepeatText},
        {[](OptionList& l) { FillAlertDelayCombo(l, 0); }, AlertDelayText},
        {[](OptionList& l) { FillTimeSourceCombo(l, 0); }, TimeSourceText},
        {[](OptionList& l) { FillTransmissionModeCombo(l, 0); }, TransmissionModeText},
        {[](OptionList& l) { FillTimeSlotCombo(l, 0); }, TimeSlotText},
        {[](OptionList& l) { FillOffOnCombo(l, 0); }, OffOnText},
        {[](OptionList& l) { FillFontSizeCombo(l, 0); }, FontSizeText},
        {[](OptionList& l) { FillActivationPlanCombo(l, 0); }, ActivationPlanText},
        {[](OptionList& l) { FillCallTypeCombo(l, 0); }, CallTypeText},
        {[](OptionList& l) { FillToneActionCombo(l, 0); }, ToneActionText},
    };
    for (const auto& [fill, convert] : pairs) {
        const auto list = filled(fill);
        for (int i = 0; i < list.ItemCount(); ++i) {
            const std::string code = std::to_string(list.ItemData(i));
            EXPECT_EQ(convert(code, true), list.ItemText(i));
            EXPECT_EQ(convert(list.ItemText(i), false), code);
        }
    }
}

TEST_F(PagingLists, ConvertersFallBackToTheirDefaults)
{
    EXPECT_EQ(CallTypeText("1", true), "Button 1");
    EXPECT_EQ(CallTypeText("9", true), "Button 1");
    EXPECT_EQ(CallTypeText("Panic", false), "4");
    EXPECT_EQ(FontSizeText("02", true), "Medium");
    EXPECT_EQ(ToneActionText("Pause", false), "1");
    EXPECT_EQ(TimeSlotText("7", true), "Top of the Minute");
    EXPECT_EQ(TimeSlotText("01", true), "30 Seconds after Top of the Minute");
    EXPECT_EQ(TransmissionModeText("2", true), "Always (After 1 Valid Syncronization)");
    EXPECT_EQ(OffOnText("2", true), "Off");
    EXPECT_EQ(OffOnText(" 1", true), "On");
    // Answers that are no number at all show the default item.
    EXPECT_EQ(TimeSourceText("GPS", true), "WWVB");
    EXPECT_EQ(CallTypeText("", true), "Button 1");
    EXPECT_EQ(OffOnText("1x", true), "Off");
}

TEST_F(PagingLists, TimeZoneListAndConverterAgree)
{
    const auto zones = filled([](OptionList& l) { FillTimeZoneCombo(l, 0); });
    ASSERT_EQ(zones.ItemCount(), 47);
    EXPECT_EQ(zones.ItemText(0), "(GMT - 01)");
    EXPECT_EQ(zones.ItemText(23), "(GMT)");
    EXPECT_EQ(zones.ItemData(23), 0);
    EXPECT_EQ(last(zones), "(GMT + 23)");
    EXPECT_EQ(zones.ItemData(46), 47);
    for (int i = 0; i < zones.ItemCount(); ++i) {
        const int code = zones.ItemData(i);
        const std::string answer = code < 10 ? "0" + std::to_string(code) : std::to_string(code);
        EXPECT_EQ(TimeZoneText(answer, true), zones.ItemText(i));
    }
    EXPECT_EQ(TimeZoneText("24", true), "(GMT - 24)");
    EXPECT_EQ(TimeZoneText("29", true), "(GMT + 05)");
}

TEST_F(PagingLists, MemoryConfigurationFollowsTheMemorySize)
{
    const auto standard = filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0); });
    ASSERT_EQ(standard.ItemCount(), 8);
    EXPECT_EQ(standard.ItemText(0), "00 (Not Supported)");
    EXPECT_EQ(standard.ItemText(1), "01 (512 Seconds Each / 8kbps)");
    EXPECT_EQ(last(standard), "64 (8 Seconds Each / 8kbps)");
    EXPECT_EQ(standard.ItemData(7), 64);
    for (int i = 1; i < standard.ItemCount(); ++i) {
        const std::string count = MemoryConfigurationText(std::to_string(standard.ItemData(i)), false);
        EXPECT_EQ(MemoryConfigurationText("4096" + count, true), standard.ItemText(i));
    }

    const auto half = filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 2048); });
    EXPECT_EQ(half.ItemCount(), 7);
    EXPECT_EQ(last(half), "32 (8 Seconds Each / 8kbps)");
    EXPECT_EQ(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 32); }).ItemCount(), 1);
    // 96 / 64 = 1.5 rounds up to 2; 160 / 64 = 2.5 rounds down to 2.
    EXPECT_EQ(last(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 96); })),
              "02 (6 Seconds Each / 8kbps)");
    EXPECT_EQ(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 160); }).ItemCount(), 3);
    EXPECT_EQ(last(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 100); })),
              "02 (6.25 Seconds Each / 8kbps)");

    EXPECT_EQ(MemoryConfigurationText("00", true), "00 (Not Supported)");
    EXPECT_EQ(MemoryConfigurationText("409600", true), "00 (Not Supported)");
    EXPECT_EQ(MemoryConfigurationText("4096 0", true), "00 (Not Supported)");
    EXPECT_EQ(MemoryConfigurationText("", true), "00 (Not Supported)");
    EXPECT_EQ(MemoryConfigurationText("64", false), "64");
    EXPECT_EQ(MemoryConfigurationText("08 (64 Seconds Each / 8kbps)", false), "08");
}

TEST_F(PagingLists, DeviceListsCarryTheirCodes)
{
    const auto baud = filled([](OptionList& l) { FillDeviceBaudCombo(l, 0); });
    EXPECT_EQ(baud.ItemCount(), 2);
    EXPECT_EQ(baud.ItemData(0), 5);
    EXPECT_EQ(baud.ItemData(1), 1);

    const std::string locale = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    const auto deviation = filled([](OptionList& l) { FillDeviationCombo(l, 4); });
    std::setlocale(LC_NUMERIC, locale.c_str());
    ASSERT_EQ(deviation.ItemCount(), 9);
    EXPECT_EQ(deviation.ItemText(0), "\xB1 0.5 kHz");
    EXPECT_EQ(deviation.ItemText(1), "\xB1 1 kHz");
    EXPECT_EQ(deviation.ItemData(0), 1);
    EXPECT_EQ(deviation.ItemText(4), "\xB1 2.5 kHz");
    EXPECT_EQ(deviation.ItemData(8), 9);
}

TEST_F(PagingLists, AllItemComesFirstAndShiftsTheSelection)
{
    using Filler = void (*)(OptionList&, std::int16_t, bool);
    const Filler fillers[] = {FillPendantPagerTypeCombo, FillPowerLevelCombo,       FillDeviationCombo,
                              FillIFBandwidthCombo,      FillAmbientNoiseLevelCombo, FillPaddlePagerTypeCombo,
                              FillClockModeCombo,        FillClockCompatibilityCombo};
    for (Filler fill : fillers) {
        MemoryOptionList plain;
        MemoryOptionList withAll;
        fill(plain, 0, false);
        fill(withAll, 1, true);
        ASSERT_EQ(withAll.ItemCount(), plain.ItemCount() + 1);
        EXPECT_EQ(withAll.ItemText(0), "All");
        EXPECT_EQ(withAll.ItemData(0), kAllItemData);
        EXPECT_EQ(withAll.ItemText(1), plain.ItemText(0));
        EXPECT_EQ(withAll.ItemData(1), plain.ItemData(0));
        EXPECT_EQ(withAll.SelectedIndex(), 1);
    }
}
