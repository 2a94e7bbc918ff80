#include <gtest/gtest.h>

#include <random>

#include "DataFileHelpers.h"
#include "KS_Records.h"

namespace {

// The record encodes to the hand-built image, and the image decodes to the record.
template <class R>
void ExpectLayout(const R& record, const std::string& image)
{
    EXPECT_EQ(EncodeRecord(record), image);
    EXPECT_TRUE(DecodeRecord<R>(image) == record) << "the image decodes to other field values";
}

} // namespace

TEST(RecordCodec, PagerRecordFieldsSitAtTheirOffsets)
{
    ExpectLayout(PagerRecord{.PagerNo = "042", .UserName = "Dr. Alice Wong      ", .Capcode = "1234567",
                             .PagerType = "A", .Baud = "1", .Phone = "555-0100            ", .Format = "P",
                             .Mode = "3", .GroupFlag = "G", .Group1 = "a", .Group2 = "b", .Group3 = "c",
                             .Group4 = "d", .InUse = "Y", .DSC = "DSC1", .Reserved = std::string(96, '~')},
                 Image(160)
                     .Put(0, "042").Put(3, "Dr. Alice Wong      ").Put(23, "1234567").Put(30, "A").Put(31, "1")
                     .Put(32, "555-0100            ").Put(52, "P").Put(53, "3").Put(54, "G").Put(55, "abcd")
                     .Put(59, "Y").Put(60, "DSC1").Fill(64, 96, '~'));
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
    ExpectLayout(TableMessage{.No = "007", .Text = "Code blue in ward 3           ", .Reserved = std::string(67, 'r')},
                 Image(100).Put(0, "007").Put(3, "Code blue in ward 3           ").Fill(33, 67, 'r'));
    ExpectLayout(FreetextEntry{.No = "012", .Pager = "345", .Keyword = std::string(30, 'K'),
                               .Message = std::string(30, 'M'), .ReplaceKeyword = -1, .Reserved = "zz"},
                 Image(70).Put(0, "012").Put(3, "345").Fill(6, 30, 'K').Fill(36, 30, 'M').PutInt16(66, -1).Put(68, "zz"));
    ExpectLayout(WirelessMessageRecord{.Slot = "199", .Pager = "020", .Message = std::string(30, 'w'),
                                       .RepeatMinutes = "15", .DeviceCode = "123", .CancelDeviceCode = "456",
                                       .Supervised = "Y", .ActivationPlan = "7", .DeviceCodeLong = "ABCDEFG",
                                       .CallType = "5", .Reserved = std::string(56, 'q')},
                 Image(110)
                     .Put(0, "199").Put(3, "020").Fill(6, 30, 'w').Put(36, "15").Put(38, "123").Put(41, "456")
                     .Put(44, "Y").Put(45, "7").Put(46, "ABCDEFG").Put(53, "5").Fill(54, 56, 'q'));
}

TEST(RecordCodec, AlarmPointAndSignBoardRecordsSitAtTheirOffsets)
{
    ExpectLayout(AlarmPointRecord{.Point = "024", .Pager = "101", .Message = std::string(30, 'a'),
                                  .CancelMessage = std::string(30, 'c'), .SendCancel = -1, .InputDelay = "250",
                                  .RepeatMinutes = "05", .ActivationPlan = "3", .CancelPager = "102", .Status = "S",
                                  .RealTime = "060", .InputType = "4", .Threshold = "-12", .RepeatModuleCode = "2",
                                  .Relay = "11", .Pulse = "1", .Active = -1, .Spare = 0x1234,
                                  .Reserved = std::string(57, 'x')},
                 Image(150)
                     .Put(0, "024").Put(3, "101").Fill(6, 30, 'a').Fill(36, 30, 'c').PutInt16(66, -1).Put(68, "250")
                     .Put(71, "05").Put(73, "3").Put(74, "102").Put(77, "S").Put(78, "060").Put(81, "4")
                     .Put(82, "-12").Put(85, "2").Put(86, "11").Put(88, "1").PutInt16(89, -1).PutInt16(91, 0x1234)
                     .Fill(93, 57, 'x'));
    ExpectLayout(SignBoardMessage{.No = "500", .Text = std::string(200, 'T'), .Slot = 15, .Font = 2, .Delay = 9,
                                  .Effect = 0xAB, .CharPerLine = 32, .Lines = 0x0108, .Reserved = std::string(50, 'R')},
                 Image(262)
                     .Put(0, "500").Fill(3, 200, 'T').PutByte(203, 15).PutByte(204, 2).PutInt16(205, 9)
                     .PutByte(207, 0xAB).PutInt16(208, 32).PutInt16(210, 0x0108).Fill(212, 50, 'R'));
}

TEST(RecordCodec, ScheduleToneAndCalendarRecordsSitAtTheirOffsets)
{
    ExpectLayout(ScheduleEntry{.No = "100", .Time = "09:30 PM", .Pager = "123", .AlertType = 10,
                               .Message = std::string(30, 'm'), .Active = -1, .Fired = 0x0201},
                 Image(49).Put(0, "100").Put(3, "09:30 PM").Put(11, "123").PutByte(14, 10).Fill(15, 30, 'm')
                     .PutInt16(45, -1).PutInt16(47, 0x0201));
    ExpectLayout(ToneScheduleEvent{.EventNo = "48", .Zone = "012", .Description = std::string(25, 'd'),
                                   .Time = "11:59 PM", .AlertType = 58, .AlertLength = 7, .AlertLevel = 4,
                                   .Active = -1, .Countdown = 79, .Repeat = 8, .Delay = 9, .Action = 3,
                                   .Seconds = 0x0302, .Reserved = std::string(23, 'z')},
                 Image(73)
                     .Put(0, "48").Put(2, "012").Fill(5, 25, 'd').Put(30, "11:59 PM").PutByte(38, 58).PutByte(39, 7)
                     .PutByte(40, 4).PutInt16(41, -1).PutInt16(43, 79).PutByte(45, 8).PutByte(46, 9).PutByte(47, 3)
                     .PutInt16(48, 0x0302).Fill(50, 23, 'z'));
    // Dates are little-endian doubles counting days from 30 December 1899.
    ExpectLayout(CalendarEvent{.EventDate = 45292.0, .EventNo = 100, .Zone = 999, .Description = std::string(25, 'e'),
                               .Time = SerialFromTime(9, 30), .AlertType = 99, .AlertLength = 1, .AlertLevel = 4,
                               .Active = -1, .Repeat = 6, .Delay = 7, .Action = 2, .Duration = 3599,
                               .Reserved = std::string(13, 'r')},
                 Image(68)
                     .PutHex(0, "00000000801de640") // 1 January 2024
                     .PutInt16(8, 100).PutInt16(10, 999).Fill(12, 25, 'e')
                     .PutHex(37, "555555555555d93f") // 9:30 AM
                     .PutByte(45, 99).PutByte(46, 1).PutByte(47, 4).PutInt16(48, -1).PutByte(50, 6).PutByte(51, 7)
                     .PutByte(52, 2).PutInt16(53, 3599).Fill(55, 13, 'r'));
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
    EXPECT_EQ(SerialFromDate(QDate(2024, 12, 31)), 45657.0);
    EXPECT_EQ(DateFromSerial(kEmptyBlockDate), QDate(1900, 1, 1));
    EXPECT_EQ(DateFromSerial(45292.75), QDate(2024, 1, 1)); // the time of day does not count
    EXPECT_FALSE(DateFromSerial(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_EQ(FormatTimeAmPm(0, 0), "12:00 AM");
    EXPECT_EQ(FormatTimeAmPm(12, 0), "12:00 PM");
}
