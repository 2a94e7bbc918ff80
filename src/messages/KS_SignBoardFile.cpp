#include "KS_SignBoardFile.h"

#include <cmath>

#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Registry.h"
#include "KS_String.h"

namespace {

// A whole number within the range, or nothing usable.
bool wholeNumberIn(const std::string& text, int low, int high, int& value)
{
    const std::string trimmed = Trim(text);
    const double number = Val(trimmed);
    if (trimmed.empty() || number != std::floor(number) || number < low || number > high)
        return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

std::string SignBoardFilePath() { return DataFilePath("SBMessages.DBS"); }

std::string SignBoardFileAccessMessage()
{
    return FileAccessMessage(SignBoardFilePath());
}

BoardSize DefaultBoardSize()
{
    BoardSize size;
    int chars = 0;
    int lines = 0;
    if (wholeNumberIn(gSBChars, 2, 32, chars) && wholeNumberIn(gSBLines, 1, 8, lines)) {
        size.charPerLine = chars;
        size.lines = lines;
    } else {
        size.fromSettings = false;
    }
    return size;
}

SignBoardMessage DefaultSignBoardMessage(int n, const BoardSize& size)
{
    SignBoardMessage m;
    m.No = ZeroPad(n, 3);
    m.Text = std::string(200, ' ');
    m.Slot = 1;
    m.Font = 0;
    m.Delay = 3;
    m.Effect = 0;
    m.CharPerLine = static_cast<std::int16_t>(size.charPerLine);
    m.Lines = static_cast<std::int16_t>(size.lines);
    return m;
}

bool LoadSignBoardTable(std::vector<SignBoardMessage>& table)
{
    table.clear();
    const std::string path = SignBoardFilePath();
    auto fail = [&table](FileError error) {
        table.clear();
        ShowMessage(error == FileError::PathOrAccess ? SignBoardFileAccessMessage() : "Error reading user record.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        return false;
    };
    if (!FolderExists(gDataFolder))
        return fail(FileError::PathOrAccess);

    if (!FileExists(path)) {
        const BoardSize size = DefaultBoardSize();
        if (!size.fromSettings)
            ReportStatus("The default sign board size is not usable; new messages get 32 characters by 3 lines.",
                         true);
        for (int n = 1; n <= kSignBoardMessages; ++n)
            table.push_back(DefaultSignBoardMessage(n, size));
        if (const FileError error = ReplaceRecords(path, table); error != FileError::None)
            return fail(error);
        return true;
    }

    const FileError error = ReadRecords(path, table);
    if (error != FileError::None)
        return fail(error);
    if (table.size() > kSignBoardMessages) {
        table.resize(kSignBoardMessages);
        ReportStatus("SBMessages.DBS holds more than 500 messages; only the first 500 were read.", true);
    } else if (RecordFile(path, SignBoardMessage::kLength).HasTrailingBytes()) {
        ReportStatus("SBMessages.DBS ends in an incomplete record, which was not read.", true);
    }
    // Messages a short file does not hold show as empty rows of zeros.
    table.resize(kSignBoardMessages);
    return true;
}

FileError WriteSignBoardMessage(int n, const SignBoardMessage& message)
{
    return WriteRecordAt(SignBoardFilePath(), n, message);
}
