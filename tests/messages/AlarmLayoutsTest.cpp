#include <gtest/gtest.h>

#include <algorithm>

#include "KS_AlarmLayouts.h"

namespace {

const std::string kFire = "FIRE ZONE 1" + std::string(19, ' ');
const std::string kClear = "ALL CLEAR" + std::string(21, ' ');
const std::string kFull = "012013" + kFire + kClear + "10452" + "3-05423071";

AlarmPointRecord Blank()
{
    AlarmPointRecord r;
    r.Point = "001";
    return r;
}

AlarmUnit Unit(const char* family, const char* model = "") { return {"", family, model, true, 0, 24}; }

// The parsed fields other than the texts, in one line: pager, cancel pager,
// repeat, input delay, plan, status, real time, threshold, input type, repeat
// module, relay, pulse, send-cancel and active; never-set bytes show as "~".
std::string Fields(const AlarmPointRecord& r)
{
    std::string line;
    for (const std::string* f : {&r.Pager, &r.CancelPager, &r.RepeatMinutes, &r.InputDelay, &r.ActivationPlan,
                                 &r.Status, &r.RealTime, &r.Threshold, &r.InputType, &r.RepeatModuleCode, &r.Relay,
                                 &r.Pulse})
        line += *f + "|";
    std::replace(line.begin(), line.end(), '\0', '~');
    return line + std::to_string(r.SendCancel) + "|" + std::to_string(r.Active);
}

} // namespace

TEST(AlarmLayouts, EachLayoutParsesAndWritesItsBytes)
{
    struct Case {
        AlarmLayout layout;
        AlarmUnit unit;
        std::string value;
        const char* fields;
        std::string written; // the write data for slot 1, offset 0
    } cases[] = {
        {AlarmLayoutXY, Unit("Not Defined"), kFire + kClear.substr(0, 23) + "012Y050303",
         "012|000|05|030|3|0|000|000|0|0|00|0|-1|-1", "001" + kFire + kClear.substr(0, 23) + "012Y050303"},
        {AlarmLayoutU, Unit("Not Defined"), "1012013" + kFire + kClear + "05030-053420",
         "012|013|05|030|4|~|~~~|-05|3|~|~~|2|0|-1", "0011012013" + kFire + kClear + "05030-053420"},
        {AlarmLayoutFamily8, Unit("QX8XXX"), "012" + kFire + "\x05\x07Y", "012|~~~|99|~~~|~|5|007|~~~|~|~|~~|~|0|-1",
         "001012" + kFire + "\x05\x07Y"},
        // A status above 9 is kept as the unit's own character and goes back as it came.
        {AlarmLayoutFamily8, Unit("QX8XXX"), "012" + kFire + "\xC8\x07Y",
         "012|~~~|99|~~~|~|\xC8|007|~~~|~|~|~~|~|0|-1", "001012" + kFire + "\xC8\x07Y"},
        {AlarmLayoutFamily8, Unit("QX8XXX"), "012" + kFire + std::string("\0 N", 3),
         "012|~~~|00|~~~|~|0|000|~~~|~|~|~~|~|0|-1", "001012" + kFire + std::string("\0\0N", 3)},
        {AlarmLayoutFull, Unit("QX7XXX", "QX6860"), kFull, "012|013|02|2  |2|1|045|-05|4|3|07|1|0|-1",
         "001" + kFull},
        // Without the module lists too, the input-delay code read goes back as it came.
        {AlarmLayoutFull, Unit("QX7XXX", "QX7560"), kFull, "012|013|02|2  |2|1|045|-05|4|3|07|1|0|-1",
         "001" + kFull},
        {AlarmLayoutFamily7, Unit("QX7XXX"), "012" + kFire, "012|~~~|00|~~~|~|~|~  |~~~|~|~|~~|~|0|-1",
         "001012" + kFire + "   "},
        {AlarmLayoutLegacy, Unit("QX7XXX"), "012" + kFire, "012|~~~|00|~~~|~|~|~  |~~~|~|~|~~|~|0|-1", "1012" + kFire},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        ASSERT_EQ(c.value.size(), static_cast<std::size_t>(AlarmReplyLength(c.layout)));
        AlarmPointRecord record = Blank();
        ParseAlarmReply(c.layout, c.value, record, c.unit.family);
        EXPECT_EQ(Fields(record), c.fields);
        EXPECT_EQ(BuildAlarmWriteString(c.layout, c.unit, 1, record), c.written);
    }
    // A unit of unknown kind: nothing is taken from its answer, and a write would use the Family8 form.
    AlarmPointRecord record = Blank();
    ParseAlarmReply(AlarmLayoutOther, "012" + kFire + "\x05\x07Y", record, "Not Defined");
    EXPECT_TRUE(record == Blank());
    record.Pager = "12";
    record.Message = kFire;
    EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutOther, Unit("Not Defined"), 1, record),
              "001012" + kFire + std::string("\0\0N", 3));
}

TEST(AlarmLayouts, LayoutFollowsLetterFamilyAndIdentification)
{
    struct Case {
        const char* letter;
        const char* family;
        bool identified;
        AlarmLayout layout;
    } cases[] = {
        {"X", "Not Defined", true, AlarmLayoutXY}, {"Y", "Not Defined", true, AlarmLayoutXY},
        {"U", "Not Defined", true, AlarmLayoutU},  {"A", "QX8XXX", true, AlarmLayoutFamily8},
        {"B", "QX8XXX", true, AlarmLayoutFamily8}, {"H", "QX7XXX", true, AlarmLayoutFull},
        {"I", "QX7XXX", true, AlarmLayoutFull},    {"L", "QX7XXX", true, AlarmLayoutFull},
        {"E", "QX7XXX", true, AlarmLayoutFamily7}, {"", "QX7XXX", false, AlarmLayoutLegacy},
        {"R", "Not Defined", true, AlarmLayoutOther}, {"", "QX8XXX", false, AlarmLayoutOther},
    };
    for (const Case& c : cases) {
        AlarmUnit unit{c.letter, c.family, "", c.identified, 0, 24};
        EXPECT_EQ(SelectAlarmLayout(unit), c.layout) << c.letter << " " << c.family;
    }
}

TEST(AlarmLayouts, ThresholdsAndLongFieldsKeepTheirWidth)
{
    AlarmPointRecord r = Blank();
    r.CancelMessage = "Cancel text of thirty chars!!!";
    r.RepeatMinutes = "120";
    r.Pager = "x";
    const std::string xy = BuildAlarmWriteString(AlarmLayoutXY, Unit("Not Defined"), 1, r);
    EXPECT_EQ(xy.substr(33, 23), "Cancel text of thirty c");
    EXPECT_EQ(xy.substr(56, 3), "000");
    EXPECT_EQ(xy.size(), 3u + 63u);
    // A never-read record goes out as spaces and zeros, never as NULs in the
    // digits; its list codes as the first entries the dialog shows for them.
    EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutFull, Unit("QX7XXX", "QX6860"), 1, Blank()),
              "001000000" + std::string(64, ' ') + "01+00101001");
    // Seconds the dialog stored for a unit without the module lists go as their
    // code there; seconds without a code are refused before anything is sent.
    const AlarmUnit qx7560 = Unit("QX7XXX", "QX7560");
    for (const auto& [seconds, code] : {std::pair{"000", "0"}, std::pair{"010", "1"}, std::pair{"030", "2"},
                                        std::pair{"120", "3"}}) {
        r.InputDelay = seconds;
        EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutFull, qx7560, 1, r).substr(79, 1), code) << seconds;
        EXPECT_EQ(AlarmPointUnsendable(AlarmLayoutFull, qx7560, r), "");
    }
    r.InputDelay = "002";
    EXPECT_EQ(AlarmPointUnsendable(AlarmLayoutFull, qx7560, r),
              "Input delay 2 Sec. of alarm point 001 cannot be sent to the QX7560, which takes an input delay of None, "
              "10 Sec., 30 Sec. or 120 Sec. only. Nothing was sent to the QX7560.");
    EXPECT_EQ(AlarmPointUnsendable(AlarmLayoutFull, Unit("QX7XXX", "QX6860"), r), "");
    // A module unit keeps a code of 0 to 3; 10, 30 or 120 stored by another
    // model cannot be a code: they go as their delay's code. Any other value
    // is refused before anything is sent, named as it is stored.
    for (const char* model : {"QX6560", "QX6860"}) {
        for (const auto& [stored, code] : {std::pair{"010", "1"}, std::pair{"030", "2"}, std::pair{"120", "3"},
                                           std::pair{"002", "2"}}) {
            r.InputDelay = stored;
            EXPECT_EQ(AlarmPointUnsendable(AlarmLayoutFull, Unit("QX7XXX", model), r), "") << stored;
            EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutFull, Unit("QX7XXX", model), 1, r).substr(79, 1), code);
        }
        r.InputDelay = "045";
        EXPECT_EQ(AlarmPointUnsendable(AlarmLayoutFull, Unit("QX7XXX", model), r),
                  std::string("Input delay \"045\" as stored of alarm point 001 cannot be sent to the ") + model
                      + ", which takes an input delay of None, 10 Sec., 30 Sec. or 120 Sec. only. Nothing was sent to "
                        "the " + model + ".");
    }
    r.InputDelay = "9  ";
    EXPECT_NE(AlarmPointUnsendable(AlarmLayoutFull, qx7560, r).find("Input delay code 9 of alarm point 001"),
              std::string::npos);
    r.InputDelay = "3  ";
    EXPECT_EQ(AlarmPointUnsendable(AlarmLayoutFull, Unit("QX7XXX", "QX6560"), r), "");
    EXPECT_EQ(BuildAlarmWriteString(AlarmLayoutFull, Unit("QX7XXX", "QX6560"), 1, r).substr(79, 1), "3");
}
