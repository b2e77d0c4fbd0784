#pragma once
#include <string>

#include "output/FileWriteResult.h"

// The words of a file that could not be written, for the windows (UTF-8).

// The reason: a Chinese description of the common causes, with the system's words in brackets.
std::string FileWriteReason(const FileWriteResult& result);
// Only the Chinese description, for a line too short for both.
std::string FileWriteReasonWords(const FileWriteResult& result);

// The file's path for messages; the bytes of a path that is not UTF-8 from 0x80 on as %XX.
std::string FileWritePathText(const FileWriteResult& result);

// A whole message naming the file and the reason, for a message box or a status line.
// Every failure but a SyncFolder one leaves an existing file as it was, and says so.
std::string FileWriteMessage(const FileWriteResult& result);
