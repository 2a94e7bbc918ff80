#include <gtest/gtest.h>

#include <functional>

#include "KS_Globals.h"
#include "KS_PagingLists.h"

namespace {

MemoryOptionList filled(const std::function<void(OptionList&)>& filler)
{
    MemoryOptionList list;
    filler(list);
    return list;
}

std::string last(const OptionList& list) { return list.ItemText(list.ItemCount() - 1); }

} // namespace

TEST(PagingLists, PagerTypeListFollowsTheEncoderClass)
{
    gEncoderModelLetter = "A";
    gEncoderFamily = "QX8XXX";
    EXPECT_EQ(filled([](OptionList& l) { FillPagerTypeCombo(l, 0); }).ItemCount(), 10);
    gEncoderModelLetter = "G";
    gEncoderFamily = "QX7XXX";
    const auto types = filled([](OptionList& l) { FillPagerTypeCombo(l, 0); });
    EXPECT_EQ(types.ItemCount(), 8);
    EXPECT_EQ(FindItemText(types, "Widearea"), -1);
    EXPECT_EQ(FindItemText(types, "Portable Radio"), -1);
}

TEST(PagingLists, GroupListFollowsTheEncoderClass)
{
    // Digit-code and QX7 units number their groups; the others use 32 letter codes.
    for (const auto& [letter, family, count, lastItem] :
         {std::tuple{"K", "QX7XXX", 100, "99"}, {"U", "", 100, "99"}, {"A", "QX8XXX", 32, "V"}}) {
        SCOPED_TRACE(letter);
        gEncoderModelLetter = letter;
        gEncoderFamily = family;
        const auto groups = filled([](OptionList& l) { FillPagerGroupCombo(l, -1); });
        EXPECT_EQ(groups.ItemCount(), count);
        EXPECT_EQ(last(groups), lastItem);
        EXPECT_EQ(groups.SelectedIndex(), -1);
    }
}

TEST(PagingLists, FillersAppendAndSelectOnlyWithinTheList)
{
    MemoryOptionList list;
    FillAlarmInputTypeCombo(list, 8);
    EXPECT_EQ(list.ItemCount(), 8);
    EXPECT_EQ(list.SelectedIndex(), -1);
    FillAlarmInputTypeCombo(list, 15); // a second call doubles the list and may select the last item
    EXPECT_EQ(list.ItemCount(), 16);
    EXPECT_EQ(list.SelectedIndex(), 15);
    EXPECT_EQ(filled([](OptionList& l) { FillDelaySecondsCombo(l, 0, 0); }).ItemCount(), 1); // "None" only
}

TEST(PagingLists, AlertListsSkipTheReservedCodesAndReadBackThroughTheirConverters)
{
    // The alert-number data travel as characters; the programmer windows check them on the wire.
    EXPECT_EQ(AlertNumberCode("999", true), "");
    EXPECT_EQ(AlertNumberCode("9", true), "09");

    const auto calendar = filled([](OptionList& l) { FillAlertTypeCombo(l, 0, 1, 99, true); });
    EXPECT_EQ(calendar.ItemText(88), "98 - Start Countdown");
    EXPECT_EQ(last(calendar), "99 - Device Activation");
    EXPECT_EQ(last(filled([](OptionList& l) { FillAlertTypeCombo(l, 0, 1, 99, false); })), "90 - Alert 90 (Custom)");
    for (int i = 0; i < calendar.ItemCount(); ++i) {
        EXPECT_EQ(AlertTypeText(std::to_string(calendar.ItemData(i)), true), calendar.ItemText(i));
        EXPECT_EQ(std::stoi(AlertTypeText(calendar.ItemText(i), false)), calendar.ItemData(i));
    }
}

TEST(PagingLists, ConvertersAgreeWithTheirListsBothWaysAndFallBackToTheirDefaults)
{
    using Filler = std::function<void(OptionList&)>;
    using Converter = std::string (*)(std::string_view, bool);
    // Most converters share one lookup over their list's own table; these are
    // the ones with a table or a comparison of their own.
    const std::pair<Filler, Converter> pairs[] = {
        {[](OptionList& l) { FillTimeSlotCombo(l, 0); }, TimeSlotText},
        {[](OptionList& l) { FillOffOnCombo(l, 0); }, OffOnText},
        {[](OptionList& l) { FillFontSizeCombo(l, 0); }, FontSizeText},
        {[](OptionList& l) { FillCallTypeCombo(l, 0); }, CallTypeText},
    };
    for (const auto& [fill, convert] : pairs) {
        const auto list = filled(fill);
        for (int i = 0; i < list.ItemCount(); ++i) {
            const std::string code = std::to_string(list.ItemData(i));
            EXPECT_EQ(convert(code, true), list.ItemText(i));
            EXPECT_EQ(convert(list.ItemText(i), false), code);
        }
    }
    EXPECT_EQ(CallTypeText("9", true), "Button 1");
    EXPECT_EQ(TimeSlotText("7", true), "Top of the Minute");
    EXPECT_EQ(TimeSlotText("01", true), "30 Seconds after Top of the Minute");
    EXPECT_EQ(OffOnText(" 1", true), "On");
    // Answers that are no number at all show the default item.
    EXPECT_EQ(TimeSourceText("GPS", true), "WWVB");
    EXPECT_EQ(CallTypeText("", true), "Button 1");
    EXPECT_EQ(OffOnText("1x", true), "Off");

    // Time zones are asked for with two digits.
    const auto zones = filled([](OptionList& l) { FillTimeZoneCombo(l, 0); });
    ASSERT_EQ(zones.ItemCount(), 47);
    for (int i = 0; i < zones.ItemCount(); ++i) {
        const int code = zones.ItemData(i);
        const std::string answer = code < 10 ? "0" + std::to_string(code) : std::to_string(code);
        EXPECT_EQ(TimeZoneText(answer, true), zones.ItemText(i));
    }
    EXPECT_EQ(TimeZoneText("24", true), "(GMT - 24)");
    EXPECT_EQ(TimeZoneText("29", true), "(GMT + 05)");
}

TEST(PagingLists, MemoryConfigurationFollowsTheMemorySize)
{
    const auto standard = filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0); });
    ASSERT_EQ(standard.ItemCount(), 8);
    EXPECT_EQ(last(standard), "64 (8 Seconds Each / 8kbps)");
    for (int i = 1; i < standard.ItemCount(); ++i) {
        const std::string count = MemoryConfigurationText(std::to_string(standard.ItemData(i)), false);
        EXPECT_EQ(MemoryConfigurationText("4096" + count, true), standard.ItemText(i));
    }
    EXPECT_EQ(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 32); }).ItemCount(), 1);
    // 96 / 64 = 1.5 rounds up to 2; 160 / 64 = 2.5 rounds down to 2.
    EXPECT_EQ(last(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 96); })),
              "02 (6 Seconds Each / 8kbps)");
    EXPECT_EQ(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 160); }).ItemCount(), 3);
    EXPECT_EQ(last(filled([](OptionList& l) { FillMemoryConfigurationCombo(l, 0, 100); })),
              "02 (6.25 Seconds Each / 8kbps)");

    for (const char* garbled : {"409600", "4096 0", ""})
        EXPECT_EQ(MemoryConfigurationText(garbled, true), "00 (Not Supported)") << garbled;
    EXPECT_EQ(MemoryConfigurationText("08 (64 Seconds Each / 8kbps)", false), "08");
}

TEST(PagingLists, AllItemComesFirstAndShiftsTheSelection)
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
        EXPECT_EQ(withAll.ItemData(1), plain.ItemData(0));
        EXPECT_EQ(withAll.SelectedIndex(), 1);
    }
}

TEST(PagingLists, ComputedItemsReadAsTheOperatorSeesThem)
{
    const std::tuple<std::function<void(OptionList&)>, int, std::string> cases[] = {
        {[](OptionList& l) { FillPowerLevelCombo(l, 1); }, 4, "5 - Med|5"},
        {[](OptionList& l) { FillDeviationCombo(l, 4); }, 4, "\xB1 2.5 kHz|5"},
        {[](OptionList& l) { FillIFBandwidthCombo(l, 0); }, 1, "18.75 kHz|1"},
        {[](OptionList& l) { FillRepeatMinutesCombo(l, 99, 0); }, 0, "None|0"},
        {[](OptionList& l) { FillRepeatMinutesCombo(l, 99, 0); }, 99, "99 Min.|99"},
        {[](OptionList& l) { FillAlertTypeCombo(l, 0, 1, 99, false); }, 8, "11 - Alert 11 (Custom)|11"},
    };
    for (const auto& [fill, index, item] : cases) {
        const auto list = filled(fill);
        EXPECT_EQ(list.ItemText(index) + "|" + std::to_string(list.ItemData(index)), item);
    }
    EXPECT_EQ(AlertTypeText("10", true), "10 - Alert 10"); // a reserved code the list skips
    EXPECT_EQ(AlertDelayText("9", true), "20 Seconds");
    EXPECT_EQ(AlertDelayText("20 Seconds", false), "9");
}

TEST(PagingLists, TheDeviationListRunsNineHalfKilohertzStepsToFourAndAHalf)
{
    const auto deviation = filled([](OptionList& l) { FillDeviationCombo(l); });
    ASSERT_EQ(deviation.ItemCount(), 9);
    EXPECT_EQ(deviation.ItemText(0) + "|" + std::to_string(deviation.ItemData(0)), "\xB1 0.5 kHz|1");
    EXPECT_EQ(last(deviation) + "|" + std::to_string(deviation.ItemData(8)), "\xB1 4.5 kHz|9");
}

// A stored alarm code stands for itself up to its list's last entry; one past
// it (another layout's code) is the list's first entry.
TEST(AlarmListCodes, EachListsLastCodeStandsAndOnePastItIsTheFirstEntry)
{
    const struct {
        AlarmCodeList list;
        const char* last;
        const char* past;
    } cases[] = {
        {AlarmCodeList::InputType, "8", "9"},
        {AlarmCodeList::RepeatTimeModule, "4", "5"},
        {AlarmCodeList::Pulse, "2", "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        EXPECT_EQ(AlarmListCode(c.list, c.last), std::stoi(c.last));
        EXPECT_EQ(AlarmListCode(c.list, c.past), 1);
        EXPECT_EQ(AlarmListCode(c.list, "0"), 1);
    }
}
