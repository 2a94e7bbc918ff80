#pragma once
// String helpers on the program's single-byte text. Record fields and link
// lines are bytes (Windows-1252); QString only appears at the widget edge,
// through ToQString / FromQString.

#include <QString>
#include <string>
#include <string_view>

std::string StripChar(std::string_view text, std::string_view character);
std::string StripDelimiter(std::string_view text, std::string_view nullText = "NULL",
                           std::string_view delimiter = ",");
std::string ReplaceLineBreaks(std::string_view text, std::string_view replacement);
// The same on widget text: a line break pasted into a box for one line.
QString ReplaceLineBreaks(QStringView text, QStringView replacement);
std::string ReplaceChar(std::string_view text, std::string_view character, std::string_view replacement);

// Every control character (below 0x20, and DEL) as a space. Text that rides
// inside a command on the line goes through this: the unit reads a CR as the
// end of the command and the rest as a new one, and no display shows them.
std::string BlankControlChars(std::string_view text);
// A character that BlankControlChars blanks.
constexpr bool IsControlChar(int code) { return (code >= 0 && code < 0x20) || code == 0x7F; }

// Leading and trailing spaces removed, and nothing else: record fields are
// padded with spaces, while a tab or NUL inside a field is part of its data.
std::string Trim(std::string_view text);
std::string UpperCase(std::string_view text);

// The number a text starts with: leading blanks, an optional sign, digits and
// one decimal point; 0 when there is none. Settings and encoder answers carry
// a number followed by other characters ("38400,N,8,1" reads as 38400, a
// version "3.16" padded with NULs as 3.16), and a field that holds no number
// counts as zero rather than as an error.
double Val(std::string_view text);

// Text padded with leading zeros to the given width (never cut).
std::string ZeroPad(long long value, int width);
// Text padded with trailing spaces, or cut, to exactly the given width.
std::string PadRight(std::string_view text, std::size_t width);

// Windows-1252 bytes to and from widget text. A character the code page does
// not hold becomes "?".
QString ToQString(std::string_view bytes);
std::string FromQString(const QString& text);
// Whether the code page of the data files and the line holds the character.
bool InCodePage(QChar character);

// Folder and file paths are the file system's own names, not Windows-1252:
// they are converted only where they meet a widget, and a path put into a
// message text is converted to the text's code page there.
QString PathToQString(std::string_view path);
std::string PathFromQString(const QString& text);
std::string PathInText(std::string_view path);
