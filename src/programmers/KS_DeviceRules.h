#pragma once
// What every programmer window knows about device values, without a widget
// or the link: frequencies, capcodes, digit boxes and the identity texts the
// devices answer with.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// ---- Frequencies: MHz shown "000.0000", held in units of 100 Hz ----------

inline constexpr std::int64_t kLowestFrequencyUnits = 800000;   // 80.0000 MHz
inline constexpr std::int64_t kHighestFrequencyUnits = 9509990; // 950.9990 MHz

// The box's text with its commas removed as a whole number of 100 Hz units,
// rounded half up at the fifth decimal; an empty text is 0. Nothing for a
// text that is no decimal number. Decimal digits, never a binary fraction, so
// 467.8050 is exactly 4678050.
std::optional<std::int64_t> FrequencyUnits(std::string_view text);
// Units as the box shows them: "467.8050", "000.0000".
std::string FrequencyText(std::int64_t units);
// The box's text reformatted "000.0000" (a text that is no number becomes "000.0000").
std::string FormatFrequencyText(std::string_view text);
bool FrequencyInRange(std::int64_t units);
// A whole multiple of 6.25 kHz (62.5 units).
bool FrequencyOnRaster(std::int64_t units);
// The seven digits a device takes and answers: "467.8000" <-> "4678000".
std::string FrequencyDigits(std::string_view shown);
// A seven-digit answer as the box shows it; nothing unless the answer is seven digits.
std::optional<std::string> FrequencyFromDigits(std::string_view digits);

// ---- Capcodes and digit boxes -----------------------------------------------

// One digit or more and nothing else (no blank, no sign, no point).
bool AllDigits(std::string_view text);

inline constexpr std::int64_t kLowestCapcode = 8;
inline constexpr std::int64_t kHighestCapcode = 2097151;
inline constexpr int kCapcodeDigits = 7;

bool CapcodeInRange(std::string_view text);
// The text's numeric value with leading zeros to the width ("1234", 8 ->
// "00001234"); a text that is not a whole number becomes all zeros.
std::string PadDigits(std::string_view text, int width);
// value + increment with leading zeros to the width; nothing when the sum no
// longer fits the width (the box could not hold it, so it must not be sent).
std::optional<std::string> IncrementDigits(std::string_view value, std::string_view increment, int width);

// ---- Identity texts ---------------------------------------------------------

// A raw reply line counts only as a whole acknowledged answer; this is the
// line without its "*" CR, or nothing (a refusal, a lost or cut line).
std::optional<std::string> AcknowledgedValue(std::string_view reply);
// A firmware version text as a number in hundredths ("2.18" -> 218); nothing
// when the text is not a plain decimal number.
std::optional<int> VersionNumber(std::string_view text);
// Hundredths as "0.00" (218 -> "2.18") and as a plain decimal (210 -> "2.1").
std::string VersionText(int hundredths);
std::string VersionPlainText(int hundredths);
// The version a device names after its marker: the trimmed text from four
// characters after the marker's "V" ("Ver" and a blank, or "Ver." right
// before the digits, so "Ver.2.20(" and "Ver. 2.20(" both read 2.20) up to
// the first `end` character. Nothing when either is missing, the end comes
// too soon or nothing lies between them. The marker is found with its dot
// where there is one, so "Version Ver. 3.20 (x)" reads 3.20.
std::optional<std::string> VersionAfterVer(std::string_view reply, char end, std::string_view marker = "Ver.");
// The same up to "(", "N/A" where there is none.
std::string VersionBetweenVerAndParen(std::string_view reply, std::string_view marker = "Ver.");
// A model answer without NULs, CR, LF and "*"; "RL-CLK" is shown "RL-CLK-xxxx".
std::string DeviceModelText(std::string_view reply);
