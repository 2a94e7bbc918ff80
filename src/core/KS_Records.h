#pragma once
// The records of Pagora's data files. Each record lists its fields once, at
// their byte offsets, in a Layout table; the generic EncodeRecord and
// DecodeRecord walk that table. Files written by every earlier release must
// still read, so offsets and widths never move.
//
// Text fields hold the field's raw bytes. A record that no one has filled in
// is all zero bytes, as a fresh file is; a text set to something shorter than
// its field is padded with spaces on the way to disk, a longer one is cut.

#include <QDate>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// ---- Field accessors on a record's bytes (little-endian, no alignment) -----
namespace RecordBytes {
std::string GetText(std::string_view bytes, std::size_t offset, std::size_t width);
// Left-aligned, padded with spaces or cut to the width.
void SetText(std::string& bytes, std::size_t offset, std::size_t width, std::string_view text);
std::int16_t GetInt16(std::string_view bytes, std::size_t offset);
void SetInt16(std::string& bytes, std::size_t offset, std::int16_t value);
std::uint8_t GetByte(std::string_view bytes, std::size_t offset);
void SetByte(std::string& bytes, std::size_t offset, std::uint8_t value);
double GetDouble(std::string_view bytes, std::size_t offset);
void SetDouble(std::string& bytes, std::size_t offset, double value);
} // namespace RecordBytes

// A text field that has never been set: zero bytes.
inline std::string UnsetText(std::size_t width) { return std::string(width, '\0'); }

// Flags kept in a 16-bit field.
inline constexpr std::int16_t kFlagYes = -1;
inline constexpr std::int16_t kFlagNo = 0;

// ---- Dates: days since 30 December 1899, the fraction being the time of day.
double SerialFromDate(const QDate& date);
QDate DateFromSerial(double serial);
// A time of day as the fraction of a day (12:00 AM is 0).
double SerialFromTime(int hours, int minutes);
// The date that marks an empty calendar block: 01/01/1900.
inline constexpr double kEmptyBlockDate = 2.0;

// "Hh:Nn AMPM": two-digit hour of the 12-hour clock, minutes, a blank and AM or PM.
std::string FormatTimeAmPm(int hours, int minutes);

// ---- Records -----------------------------------------------------------------

// One user of Pager.DBS; record n is pager n.
struct PagerRecord {
    static constexpr std::size_t kLength = 160;
    std::string PagerNo = UnsetText(3);
    std::string UserName = UnsetText(20);
    std::string Capcode = UnsetText(7);
    std::string PagerType = UnsetText(1);
    std::string Baud = UnsetText(1);
    std::string Phone = UnsetText(20);
    std::string Format = UnsetText(1);
    std::string Mode = UnsetText(1);
    std::string GroupFlag = UnsetText(1);
    std::string Group1 = UnsetText(1);
    std::string Group2 = UnsetText(1);
    std::string Group3 = UnsetText(1);
    std::string Group4 = UnsetText(1);
    std::string InUse = UnsetText(1);
    std::string DSC = UnsetText(4);
    std::string Reserved = UnsetText(96);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.PagerNo);
        f.Text(3, 20, r.UserName);
        f.Text(23, 7, r.Capcode);
        f.Text(30, 1, r.PagerType);
        f.Text(31, 1, r.Baud);
        f.Text(32, 20, r.Phone);
        f.Text(52, 1, r.Format);
        f.Text(53, 1, r.Mode);
        f.Text(54, 1, r.GroupFlag);
        f.Text(55, 1, r.Group1);
        f.Text(56, 1, r.Group2);
        f.Text(57, 1, r.Group3);
        f.Text(58, 1, r.Group4);
        f.Text(59, 1, r.InUse);
        f.Text(60, 4, r.DSC);
        f.Text(64, 96, r.Reserved);
    }
    bool operator==(const PagerRecord&) const = default;
};

// One fast-key or PABX message (PPM_Fastkey.DBS, PPM_PABXDI.DBS).
struct TableMessage {
    static constexpr std::size_t kLength = 100;
    std::string No = UnsetText(3);
    std::string Text = UnsetText(30);
    std::string Reserved = UnsetText(67);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.No);
        f.Text(3, 30, r.Text);
        f.Text(33, 67, r.Reserved);
    }
    bool operator==(const TableMessage&) const = default;
};

// One free-text keyword entry (PPM_Freetext.DBS).
struct FreetextEntry {
    static constexpr std::size_t kLength = 70;
    std::string No = UnsetText(3);
    std::string Pager = UnsetText(3);
    std::string Keyword = UnsetText(30);
    std::string Message = UnsetText(30);
    std::int16_t ReplaceKeyword = 0;
    std::string Reserved = UnsetText(2);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.No);
        f.Text(3, 3, r.Pager);
        f.Text(6, 30, r.Keyword);
        f.Text(36, 30, r.Message);
        f.Int16(66, r.ReplaceKeyword);
        f.Text(68, 2, r.Reserved);
    }
    bool operator==(const FreetextEntry&) const = default;
};

// One wireless-device message slot (PPM_Wireless.DBS).
struct WirelessMessageRecord {
    static constexpr std::size_t kLength = 110;
    std::string Slot = UnsetText(3);
    std::string Pager = UnsetText(3);
    std::string Message = UnsetText(30);
    std::string RepeatMinutes = UnsetText(2);
    std::string DeviceCode = UnsetText(3);
    std::string CancelDeviceCode = UnsetText(3);
    std::string Supervised = UnsetText(1);
    std::string ActivationPlan = UnsetText(1);
    std::string DeviceCodeLong = UnsetText(7);
    std::string CallType = UnsetText(1);
    std::string Reserved = UnsetText(56);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.Slot);
        f.Text(3, 3, r.Pager);
        f.Text(6, 30, r.Message);
        f.Text(36, 2, r.RepeatMinutes);
        f.Text(38, 3, r.DeviceCode);
        f.Text(41, 3, r.CancelDeviceCode);
        f.Text(44, 1, r.Supervised);
        f.Text(45, 1, r.ActivationPlan);
        f.Text(46, 7, r.DeviceCodeLong);
        f.Text(53, 1, r.CallType);
        f.Text(54, 56, r.Reserved);
    }
    bool operator==(const WirelessMessageRecord&) const = default;
};

// One alarm input (PPM_Alarm.DBS).
struct AlarmPointRecord {
    static constexpr std::size_t kLength = 150;
    std::string Point = UnsetText(3);
    std::string Pager = UnsetText(3);
    std::string Message = UnsetText(30);
    std::string CancelMessage = UnsetText(30);
    std::int16_t SendCancel = 0;
    std::string InputDelay = UnsetText(3);
    std::string RepeatMinutes = UnsetText(2);
    std::string ActivationPlan = UnsetText(1);
    std::string CancelPager = UnsetText(3);
    std::string Status = UnsetText(1);
    std::string RealTime = UnsetText(3);
    std::string InputType = UnsetText(1);
    std::string Threshold = UnsetText(3);
    std::string RepeatModuleCode = UnsetText(1);
    std::string Relay = UnsetText(2);
    std::string Pulse = UnsetText(1);
    std::int16_t Active = 0;
    std::int16_t Spare = 0;
    std::string Reserved = UnsetText(57);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.Point);
        f.Text(3, 3, r.Pager);
        f.Text(6, 30, r.Message);
        f.Text(36, 30, r.CancelMessage);
        f.Int16(66, r.SendCancel);
        f.Text(68, 3, r.InputDelay);
        f.Text(71, 2, r.RepeatMinutes);
        f.Text(73, 1, r.ActivationPlan);
        f.Text(74, 3, r.CancelPager);
        f.Text(77, 1, r.Status);
        f.Text(78, 3, r.RealTime);
        f.Text(81, 1, r.InputType);
        f.Text(82, 3, r.Threshold);
        f.Text(85, 1, r.RepeatModuleCode);
        f.Text(86, 2, r.Relay);
        f.Text(88, 1, r.Pulse);
        f.Int16(89, r.Active);
        f.Int16(91, r.Spare);
        f.Text(93, 57, r.Reserved);
    }
    bool operator==(const AlarmPointRecord&) const = default;
};

// One sign-board message (SBMessages.DBS); record n is message n.
struct SignBoardMessage {
    static constexpr std::size_t kLength = 262;
    std::string No = UnsetText(3);
    std::string Text = UnsetText(200);
    std::uint8_t Slot = 0;
    std::uint8_t Font = 0;
    std::int16_t Delay = 0;
    std::uint8_t Effect = 0;
    std::int16_t CharPerLine = 0;
    std::int16_t Lines = 0;
    std::string Reserved = UnsetText(50);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.No);
        f.Text(3, 200, r.Text);
        f.Byte(203, r.Slot);
        f.Byte(204, r.Font);
        f.Int16(205, r.Delay);
        f.Byte(207, r.Effect);
        f.Int16(208, r.CharPerLine);
        f.Int16(210, r.Lines);
        f.Text(212, 50, r.Reserved);
    }
    bool operator==(const SignBoardMessage&) const = default;
};

// One scheduled page (Schedule.DBS): entry i = (weekday - 1) x 100 + row is record i + 1.
struct ScheduleEntry {
    static constexpr std::size_t kLength = 49;
    std::string No = UnsetText(3);
    std::string Time = UnsetText(8);
    std::string Pager = UnsetText(3);
    std::uint8_t AlertType = 0;
    std::string Message = UnsetText(30);
    std::int16_t Active = 0;
    // The seconds timer's mark; it belongs to memory and is saved as 0.
    std::int16_t Fired = 0;

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.No);
        f.Text(3, 8, r.Time);
        f.Text(11, 3, r.Pager);
        f.Byte(14, r.AlertType);
        f.Text(15, 30, r.Message);
        f.Int16(45, r.Active);
        f.Int16(47, r.Fired);
    }
    bool operator==(const ScheduleEntry&) const = default;
};

// One weekly tone event (ToneGen.TGS): entry i = day x 48 + (event - 1), Monday = day 0.
struct ToneScheduleEvent {
    static constexpr std::size_t kLength = 73;
    std::string EventNo = UnsetText(2);
    std::string Zone = UnsetText(3);
    std::string Description = UnsetText(25);
    std::string Time = UnsetText(8);
    // 1 to 9 as such; types 10 to 15 as the code of their alert-type character (type + 48).
    std::uint8_t AlertType = 0;
    std::uint8_t AlertLength = 0;
    std::uint8_t AlertLevel = 0;
    std::int16_t Active = 0;
    std::int16_t Countdown = 0;
    std::uint8_t Repeat = 0;
    std::uint8_t Delay = 0;
    std::uint8_t Action = 0;
    std::int16_t Seconds = 0;
    std::string Reserved = UnsetText(23);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 2, r.EventNo);
        f.Text(2, 3, r.Zone);
        f.Text(5, 25, r.Description);
        f.Text(30, 8, r.Time);
        f.Byte(38, r.AlertType);
        f.Byte(39, r.AlertLength);
        f.Byte(40, r.AlertLevel);
        f.Int16(41, r.Active);
        f.Int16(43, r.Countdown);
        f.Byte(45, r.Repeat);
        f.Byte(46, r.Delay);
        f.Byte(47, r.Action);
        f.Int16(48, r.Seconds);
        f.Text(50, 23, r.Reserved);
    }
    bool operator==(const ToneScheduleEvent&) const = default;
};

// One tone-calendar event (ToneGenCalendar.TGC): event e + 1 of day block d is record d x 100 + e + 1.
struct CalendarEvent {
    static constexpr std::size_t kLength = 68;
    double EventDate = 0;
    std::int16_t EventNo = 0;
    std::int16_t Zone = 0;
    std::string Description = UnsetText(25);
    double Time = 0;
    std::uint8_t AlertType = 0;
    std::uint8_t AlertLength = 0;
    std::uint8_t AlertLevel = 0;
    std::int16_t Active = 0;
    std::uint8_t Repeat = 0;
    std::uint8_t Delay = 0;
    std::uint8_t Action = 0;
    std::int16_t Duration = 0;
    std::string Reserved = UnsetText(13);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Date(0, r.EventDate);
        f.Int16(8, r.EventNo);
        f.Int16(10, r.Zone);
        f.Text(12, 25, r.Description);
        f.Date(37, r.Time);
        f.Byte(45, r.AlertType);
        f.Byte(46, r.AlertLength);
        f.Byte(47, r.AlertLevel);
        f.Int16(48, r.Active);
        f.Byte(50, r.Repeat);
        f.Byte(51, r.Delay);
        f.Byte(52, r.Action);
        f.Int16(53, r.Duration);
        f.Text(55, 13, r.Reserved);
    }
    bool operator==(const CalendarEvent&) const = default;
};

// ---- Older layouts, read only by the upgrade. Every field is text. ------------

struct LegacyPagerRecord {
    static constexpr std::size_t kLength = 45;
    std::string PagerNo = UnsetText(3);
    std::string UserName = UnsetText(12);
    std::string Capcode = UnsetText(7);
    std::string PagerType = UnsetText(1);
    std::string Baud = UnsetText(1);
    std::string Phone = UnsetText(13);
    std::string Format = UnsetText(1);
    std::string Mode = UnsetText(1);
    std::string GroupFlag = UnsetText(1);
    std::string Group1 = UnsetText(1);
    std::string Group2 = UnsetText(1);
    std::string Group3 = UnsetText(1);
    std::string Group4 = UnsetText(1);
    std::string InUse = UnsetText(1);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.PagerNo);
        f.Text(3, 12, r.UserName);
        f.Text(15, 7, r.Capcode);
        f.Text(22, 1, r.PagerType);
        f.Text(23, 1, r.Baud);
        f.Text(24, 13, r.Phone);
        f.Text(37, 1, r.Format);
        f.Text(38, 1, r.Mode);
        f.Text(39, 1, r.GroupFlag);
        f.Text(40, 1, r.Group1);
        f.Text(41, 1, r.Group2);
        f.Text(42, 1, r.Group3);
        f.Text(43, 1, r.Group4);
        f.Text(44, 1, r.InUse);
    }
    bool operator==(const LegacyPagerRecord&) const = default;
};

struct LegacyTableMessage {
    static constexpr std::size_t kLength = 32;
    std::string No = UnsetText(2);
    std::string Text = UnsetText(30);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 2, r.No);
        f.Text(2, 30, r.Text);
    }
    bool operator==(const LegacyTableMessage&) const = default;
};

struct LegacyFreetextEntry {
    static constexpr std::size_t kLength = 36;
    std::string No = UnsetText(2);
    std::string Pager = UnsetText(3);
    std::string Keyword = UnsetText(30);
    std::string Flag = UnsetText(1);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 2, r.No);
        f.Text(2, 3, r.Pager);
        f.Text(5, 30, r.Keyword);
        f.Text(35, 1, r.Flag);
    }
    bool operator==(const LegacyFreetextEntry&) const = default;
};

struct LegacyWirelessMessageRecord {
    static constexpr std::size_t kLength = 42;
    std::string Slot = UnsetText(3);
    std::string Pager = UnsetText(3);
    std::string Message = UnsetText(30);
    std::string RepeatMinutes = UnsetText(2);
    std::string DeviceCode = UnsetText(3);
    std::string Supervised = UnsetText(1);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.Slot);
        f.Text(3, 3, r.Pager);
        f.Text(6, 30, r.Message);
        f.Text(36, 2, r.RepeatMinutes);
        f.Text(38, 3, r.DeviceCode);
        f.Text(41, 1, r.Supervised);
    }
    bool operator==(const LegacyWirelessMessageRecord&) const = default;
};

struct LegacyAlarmPointRecord {
    static constexpr std::size_t kLength = 84;
    std::string Point = UnsetText(3);
    std::string Pager = UnsetText(3);
    std::string RepeatFlag = UnsetText(1);
    std::string Message = UnsetText(30);
    std::string Status = UnsetText(1);
    std::string RealTime = UnsetText(3);
    std::string CancelPager = UnsetText(3);
    std::string CancelMessage = UnsetText(30);
    std::string InputType = UnsetText(1);
    std::string Threshold = UnsetText(3);
    std::string ActivationPlan = UnsetText(1);
    std::string RepeatModuleCode = UnsetText(1);
    std::string Unused = UnsetText(1);
    std::string Relay = UnsetText(2);
    std::string Pulse = UnsetText(1);

    template <class Self, class Fields>
    static void Layout(Self& r, Fields& f)
    {
        f.Text(0, 3, r.Point);
        f.Text(3, 3, r.Pager);
        f.Text(6, 1, r.RepeatFlag);
        f.Text(7, 30, r.Message);
        f.Text(37, 1, r.Status);
        f.Text(38, 3, r.RealTime);
        f.Text(41, 3, r.CancelPager);
        f.Text(44, 30, r.CancelMessage);
        f.Text(74, 1, r.InputType);
        f.Text(75, 3, r.Threshold);
        f.Text(78, 1, r.ActivationPlan);
        f.Text(79, 1, r.RepeatModuleCode);
        f.Text(80, 1, r.Unused);
        f.Text(81, 2, r.Relay);
        f.Text(83, 1, r.Pulse);
    }
    bool operator==(const LegacyAlarmPointRecord&) const = default;
};

// ---- The generic codec -----------------------------------------------------------

namespace RecordBytes {
struct Encoder {
    std::string& bytes;
    void Text(std::size_t offset, std::size_t width, const std::string& value)
    {
        SetText(bytes, offset, width, value);
    }
    void Int16(std::size_t offset, std::int16_t value) { SetInt16(bytes, offset, value); }
    void Byte(std::size_t offset, std::uint8_t value) { SetByte(bytes, offset, value); }
    void Date(std::size_t offset, double value) { SetDouble(bytes, offset, value); }
};

struct Decoder {
    std::string_view bytes;
    void Text(std::size_t offset, std::size_t width, std::string& value) { value = GetText(bytes, offset, width); }
    void Int16(std::size_t offset, std::int16_t& value) { value = GetInt16(bytes, offset); }
    void Byte(std::size_t offset, std::uint8_t& value) { value = GetByte(bytes, offset); }
    void Date(std::size_t offset, double& value) { value = GetDouble(bytes, offset); }
};
} // namespace RecordBytes

template <class Record>
std::string EncodeRecord(const Record& record)
{
    std::string bytes(Record::kLength, '\0');
    RecordBytes::Encoder encoder{bytes};
    Record::Layout(record, encoder);
    return bytes;
}

// The bytes must hold at least one whole record; anything after it is ignored.
template <class Record>
Record DecodeRecord(std::string_view bytes)
{
    if (bytes.size() < Record::kLength)
        throw std::invalid_argument("record bytes shorter than the record");
    Record record;
    RecordBytes::Decoder decoder{bytes.substr(0, Record::kLength)};
    Record::Layout(record, decoder);
    return record;
}
