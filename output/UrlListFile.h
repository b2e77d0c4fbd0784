#pragma once
#include <cstdint>
#include <string>

#include "output/FileWriteResult.h"

// Writes the URL list box's text (UTF-8) to the file at utf8Path (a path as the file dialog
// gives it), white space trimmed at both ends. The file is written beside
// its name and moved over it when complete, so a failed save leaves an existing file as it
// was. kFileOpen, with the file and the cause, when it cannot be written (no file is left
// behind). When result is given it receives the outcome: for a failure the file and the cause.
Status SaveUrlListFile(const std::string& utf8Path, const std::string& boxText, FileWriteResult* result = nullptr);

// One line of the URL list: the address followed by CR LF. An address that is not valid UTF-8
// keeps its bytes from 0x80 up as %XX, so no address is lost.
std::string UrlListLine(const std::string& fullAddress);
