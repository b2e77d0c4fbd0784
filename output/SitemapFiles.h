#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "output/FileWriteResult.h"

// Writers of one sitemap file each. The path is UTF-8 text, as the file system takes it. Each file is written beside its name and moved over it once complete, so an
// existing file is either replaced whole or left as it was. kFileOpen (with the file and the
// cause) when the file could not be written (then nothing changed on disk; a failure to flush the folder
// after the rename is the one exception: the new file is in place). When result is given it
// receives the outcome: for a failure the file and the cause.

// Plain form: the printed text with every LF written as CR LF.
Status WritePlainSitemapFile(const std::string& fileName, std::string_view printedText,
                             FileWriteResult* result = nullptr);
// Gzip form through zlib's file writer: the printed text (LF line ends) in one call.
Status WriteGzipSitemapFile(const std::string& fileName, std::string_view printedText,
                            FileWriteResult* result = nullptr);
// Bytes written as they are (a gzip stream held from an earlier compression).
Status WriteSitemapBytes(const std::string& fileName, std::string_view bytes, FileWriteResult* result = nullptr);

