#include <gtest/gtest.h>

#include <random>

#include "DataFileHelpers.h"
#include "KS_Records.h"

TEST(RecordCodec, PagerRecordFieldsSitAtTheirOffsets)
{
    const std::string image = Image(160)
                                  .Put(0, "042")
                                  .Put(3, "Dr. Alice Wong      ")
                                  .Put(23, "1234567")
                                  .Put(30, "A")
                                  .Put(31, "1")
                                  .Put(32, "555-0100            ")
                                  .Put(52, "P")
                                  .Put(53, "3")
                                  .Put(54, "G")
                                  .Put(55, "a")
                                  .Put(56, "b")
                                  .Put(57, "c")
                                  .Put(58, "d")
                                  .Put(59, "Y")
                                  .Put(60, "DSC1")
                                  .Fill(64, 96, '~');
    const auto r = DecodeRecord<PagerRecord>(image);
    EXPECT_EQ(r.PagerNo, "042");
    EXPECT_EQ(r.UserName, "Dr. Alice Wong      ");
    EXPECT_EQ(r.Capcode, "1234567");
    EXPECT_EQ(r.PagerType, "A");
    EXPECT_EQ(r.Baud, "1");
    EXPECT_EQ(r.Phone, "555-0100            ");
    EXPECT_EQ(r.Format, "P");
    EXPECT_EQ(r.Mode, "3");
    EXPECT_EQ(r.GroupFlag, "G");
    EXPECT_EQ(r.Group1 + r.Group2 + r.Group3 + r.Group4, "abcd");
    EXPECT_EQ(r.InUse, "Y");
    EXPECT_EQ(r.DSC, "DSC1");
    EXPECT_EQ(r.Reserved, std::string(96, '~'));
    EXPECT_EQ(EncodeRecord(r), image);
}

TEST(RecordCodec, TextFieldsArePaddedWithSpacesOrCutAndUnsetFieldsStayZero)
{
    PagerRecord r;
    EXPECT_EQ(EncodeRecord(r), std::string(160, '\0'));
    r.UserName = "A name of thirty characters!!!";
    r.Phone = "12";
    const std::string bytes = EncodeRecord(r);
    EXPECT_EQ(bytes.substr(3, 20), "A name of thirty cha");
    EXPECT_EQ(bytes.substr(32, 20), "12" + std::string(18, ' '));
    EXPECT_EQ(bytes.substr(23, 7), std::string(7, '\0'));
    EXPECT_NE(DecodeRecord<PagerRecord>(std::string(160, '\0')).InUse, "Y");
}

TEST(RecordCodec, MessageTableRecordsSitAtTheirOffsets)
{
    const std::string table = Image(100).Put(0, "007").Put(3, "Code blue in ward 3           ").Fill(33, 67, 'r');
    const auto t = DecodeRecord<TableMessage>(table);
    EXPECT_EQ(t.No, "007");
    EXPECT_EQ(t.Text, "Code blue in ward 3           ");
    EXPECT_EQ(t.Reserved, std::string(67, 'r'));
    EXPECT_EQ(EncodeRecord(t), table);

    const std::string freetext = Image(70)
                                     .Put(0, "012")
                                     .Put(3, "345")
                                     .Put(6, std::string(30, 'K'))
                                     .Put(36, std::string(30, 'M'))
                                     .PutInt16(66, -1)
                                     .Put(68, "zz");
    const auto f = DecodeRecord<FreetextEntry>(freetext);
    EXPECT_EQ(f.No, "012");
    EXPECT_EQ(f.Pager, "345");
    EXPECT_EQ(f.Keyword, std::string(30, 'K'));
    EXPECT_EQ(f.Message, std::string(30, 'M'));
    EXPECT_EQ(f.ReplaceKeyword, -1);
    EXPECT_EQ(f.Reserved, "zz");
    EXPECT_EQ(EncodeRecord(f), freetext);

    const std::string wireless = Image(110)
                                     .Put(0, "199")
                                     .Put(3, "020")
                                     .Put(6, std::string(30, 'w'))
                                     .Put(36, "15")
                                     .Put(38, "123")
                                     .Put(41, "456")
                                     .Put(44, "Y")
                                     .Put(45, "7")
                                     .Put(46, "ABCDEFG")
                                     .Put(53, "5")
                                     .Fill(54, 56, 'q');
    const auto w = DecodeRecord<WirelessMessageRecord>(wireless);
    EXPECT_EQ(w.Slot, "199");
    EXPECT_EQ(w.Pager, "020");
    EXPECT_EQ(w.RepeatMinutes, "15");
    EXPECT_EQ(w.DeviceCode, "123");
    EXPECT_EQ(w.CancelDeviceCode, "456");
    EXPECT_EQ(w.Supervised, "Y");
    EXPECT_EQ(w.ActivationPlan, "7");
    EXPECT_EQ(w.DeviceCodeLong, "ABCDEFG");
    EXPECT_EQ(w.CallType, "5");
    EXPECT_EQ(w.Reserved, std::string(56, 'q'));
    EXPECT_EQ(EncodeRecord(w), wireless);
}

TEST(RecordCodec, AlarmPointRecordFieldsSitAtTheirOffsets)
{
    const std::string image = Image(150)
                                  .Put(0, "024")
                                  .Put(3, "101")
                                  .Put(6, std::string(30, 'a'))
                                  .Put(36, std::string(30, 'c'))
                                  .PutInt16(66, -1)
                                  .Put(68, "250")
                                  .Put(71, "05")
                                  .Put(73, "3")
                                  .Put(74, "102")
                                  .Put(77, "S")
                                  .Put(78, "060")
                                  .Put(81, "4")
                                  .Put(82, "-12")
                                  .Put(85, "2")
                                  .Put(86, "11")
                                  .Put(88, "1")
                                  .PutInt16(89, -1)
                                  .PutInt16(91, 0x1234)
                                  .Fill(93, 57, 'x');
    const auto r = DecodeRecord<AlarmPointRecord>(image);
    EXPECT_EQ(r.Point, "024");
    EXPECT_EQ(r.Pager, "101");
    EXPECT_EQ(r.SendCancel, -1);
    EXPECT_EQ(r.InputDelay, "250");
    EXPECT_EQ(r.RepeatMinutes, "05");
    EXPECT_EQ(r.ActivationPlan, "3");
    EXPECT_EQ(r.CancelPager, "102");
    EXPECT_EQ(r.Status, "S");
    EXPECT_EQ(r.RealTime, "060");
    EXPECT_EQ(r.InputType, "4");
    EXPECT_EQ(r.Threshold, "-12");
    EXPECT_EQ(r.RepeatModuleCode, "2");
    EXPECT_EQ(r.Relay, "11");
    EXPECT_EQ(r.Pulse, "1");
    EXPECT_EQ(r.Active, -1);
    EXPECT_EQ(r.Spare, 0x1234);
    EXPECT_EQ(r.Reserved, std::string(57, 'x'));
    EXPECT_EQ(EncodeRecord(r), image);
}

TEST(RecordCodec, SignBoardMessageFieldsSitAtTheirOffsets)
{
    const std::string image = Image(262)
                                  .Put(0, "500")
                                  .Put(3, std::string(200, 'T'))
                                  .PutByte(203, 15)
                                  .PutByte(204, 2)
                                  .PutInt16(205, 9)
                                  .PutByte(207, 0xAB)
                                  .PutInt16(208, 32)
                                  .PutInt16(210, 0x0108)
                                  .Fill(212, 50, 'R');
    const auto m = DecodeRecord<SignBoardMessage>(image);
    EXPECT_EQ(m.No, "500");
    EXPECT_EQ(m.Text, std::string(200, 'T'));
    EXPECT_EQ(m.Slot, 15);
    EXPECT_EQ(m.Font, 2);
    EXPECT_EQ(m.Delay, 9);
    EXPECT_EQ(m.Effect, 0xAB);
    EXPECT_EQ(m.CharPerLine, 32);
    EXPECT_EQ(m.Lines, 0x0108);
    EXPECT_EQ(m.Reserved, std::string(50, 'R'));
    EXPECT_EQ(EncodeRecord(m), image);
}

TEST(RecordCodec, ScheduleAndToneRecordsSitAtTheirOffsets)
{
    const std::string schedule = Image(49)
                                     .Put(0, "100")
                                     .Put(3, "09:30 PM")
                                     .Put(11, "123")
                                     .PutByte(14, 10)
                                     .Put(15, std::string(30, 'm'))
                                     .PutInt16(45, -1)
                                     .PutInt16(47, 0x0201);
    const auto s = DecodeRecord<ScheduleEntry>(schedule);
    EXPECT_EQ(s.No, "100");
    EXPECT_EQ(s.Time, "09:30 PM");
    EXPECT_EQ(s.Pager, "123");
    EXPECT_EQ(s.AlertType, 10);
    EXPECT_EQ(s.Message, std::string(30, 'm'));
    EXPECT_EQ(s.Active, -1);
    EXPECT_EQ(s.Fired, 0x0201);
    EXPECT_EQ(EncodeRecord(s), schedule);

    const std::string tone = Image(73)
                                 .Put(0, "48")
                                 .Put(2, "012")
                                 .Put(5, std::string(25, 'd'))
                                 .Put(30, "11:59 PM")
                                 .PutByte(38, 58)
                                 .PutByte(39, 7)
                                 .PutByte(40, 4)
                                 .PutInt16(41, -1)
                                 .PutInt16(43, 79)
                                 .PutByte(45, 8)
                                 .PutByte(46, 9)
                                 .PutByte(47, 3)
                                 .PutInt16(48, 0x0302)
                                 .Fill(50, 23, 'z');
    const auto t = DecodeRecord<ToneScheduleEvent>(tone);
    EXPECT_EQ(t.EventNo, "48");
    EXPECT_EQ(t.Zone, "012");
    EXPECT_EQ(t.Time, "11:59 PM");
    EXPECT_EQ(t.AlertType, 58);
    EXPECT_EQ(t.AlertLength, 7);
    EXPECT_EQ(t.AlertLevel, 4);
    EXPECT_EQ(t.Active, -1);
    EXPECT_EQ(t.Countdown, 79);
    EXPECT_EQ(t.Repeat, 8);
    EXPECT_EQ(t.Delay, 9);
    EXPECT_EQ(t.Action, 3);
    EXPECT_EQ(t.Seconds, 0x0302);
    EXPECT_EQ(t.Reserved, std::string(23, 'z'));
    EXPECT_EQ(EncodeRecord(t), tone);
}

TEST(RecordCodec, CalendarEventDatesAreLittleEndianDoubles)
{
    const std::string image = Image(68)
                                  .PutHex(0, "00000000801de640") // 45292: 1 January 2024
                                  .PutInt16(8, 100)
                                  .PutInt16(10, 999)
                                  .Put(12, std::string(25, 'e'))
                                  .PutHex(37, "555555555555d93f") // 9:30 AM
                                  .PutByte(45, 99)
                                  .PutByte(46, 1)
                                  .PutByte(47, 4)
                                  .PutInt16(48, -1)
                                  .PutByte(50, 6)
                                  .PutByte(51, 7)
                                  .PutByte(52, 2)
                                  .PutInt16(53, 3599)
                                  .Fill(55, 13, 'r');
    const auto e = DecodeRecord<CalendarEvent>(image);
    EXPECT_EQ(e.EventDate, 45292.0);
    EXPECT_EQ(DateFromSerial(e.EventDate), QDate(2024, 1, 1));
    EXPECT_EQ(e.EventNo, 100);
    EXPECT_EQ(e.Zone, 999);
    EXPECT_EQ(e.Time, SerialFromTime(9, 30));
    EXPECT_EQ(e.AlertType, 99);
    EXPECT_EQ(e.AlertLength, 1);
    EXPECT_EQ(e.AlertLevel, 4);
    EXPECT_EQ(e.Active, -1);
    EXPECT_EQ(e.Repeat, 6);
    EXPECT_EQ(e.Delay, 7);
    EXPECT_EQ(e.Action, 2);
    EXPECT_EQ(e.Duration, 3599);
    EXPECT_EQ(EncodeRecord(e), image);
}

template <class R>
class RecordRoundTrip : public testing::Test {};
using AllRecords = testing::Types<PagerRecord, TableMessage, FreetextEntry, WirelessMessageRecord, AlarmPointRecord,
                                  SignBoardMessage, ScheduleEntry, ToneScheduleEvent, CalendarEvent, LegacyPagerRecord,
                                  LegacyTableMessage, LegacyFreetextEntry, LegacyWirelessMessageRecord,
                                  LegacyAlarmPointRecord>;
TYPED_TEST_SUITE(RecordRoundTrip, AllRecords);

TYPED_TEST(RecordRoundTrip, AnyBytesSurviveDecodeAndEncode)
{
    std::mt19937 random(TypeParam::kLength);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(TypeParam::kLength, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() & 0xFF);
        if (round == 0)
            bytes.assign(TypeParam::kLength, '\xFF'); // NaN dates and -1 flags everywhere
        const auto record = DecodeRecord<TypeParam>(bytes);
        ASSERT_EQ(EncodeRecord(record), bytes);
        if (round > 0) { // NaN dates never compare equal
            EXPECT_EQ(DecodeRecord<TypeParam>(EncodeRecord(record)), record);
        }
    }
    EXPECT_THROW(DecodeRecord<TypeParam>(std::string(TypeParam::kLength - 1, ' ')), std::invalid_argument);
}

TEST(RecordDates, SerialDatesCountFromThe30thOfDecember1899)
{
    EXPECT_EQ(SerialFromDate(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(DateFromSerial(kEmptyBlockDate), QDate(1900, 1, 1));
    EXPECT_EQ(SerialFromDate(QDate(2024, 12, 31)), 45657.0);
    EXPECT_EQ(DateFromSerial(45292.75), QDate(2024, 1, 1));
    EXPECT_FALSE(DateFromSerial(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_EQ(FormatTimeAmPm(0, 0), "12:00 AM");
    EXPECT_EQ(FormatTimeAmPm(9, 5), "09:05 AM");
    EXPECT_EQ(FormatTimeAmPm(12, 0), "12:00 PM");
    EXPECT_EQ(FormatTimeAmPm(23, 59), "11:59 PM");
}
