#pragma once
// SBMessages.DBS: the 500 sign-board messages, kept only on this computer.
// Record n is message n; the encoder never holds this table.

#include <string>
#include <vector>

#include "KS_Records.h"
#include "RecordFile.h"

inline constexpr int kSignBoardMessages = 500;

std::string SignBoardFilePath();
// The critical text for a data folder or file that cannot be reached.
std::string SignBoardFileAccessMessage();

// The board shape new messages get: gSBChars x gSBLines when both are whole
// numbers the board can take (2..32 characters, 1..8 lines), else 32 x 3.
struct BoardSize {
    int charPerLine = 32;
    int lines = 3;
    bool fromSettings = true;
};
BoardSize DefaultBoardSize();

// Message n (1..500) as a missing file gets it.
SignBoardMessage DefaultSignBoardMessage(int n, const BoardSize& size);

// Fills table with 500 messages: from the file, or, when it is missing, the
// defaults, which are then written as a new file. Messages a short file does
// not hold stay all zero. A file of more than 500 records is read for its
// first 500, and that is said on the status line, as is a default size that
// could not be used. On a failure the table is empty and the operator has
// been told.
bool LoadSignBoardTable(std::vector<SignBoardMessage>& table);

// Writes message n in place; the rest of the file is untouched.
FileError WriteSignBoardMessage(int n, const SignBoardMessage& message);
