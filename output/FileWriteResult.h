#pragma once
#include <cstdint>
#include <string>

#include "common/Status.h"

// The step of writing a file that failed.
enum class WriteStep {
  None,        // nothing failed
  Prepare,     // the content could not be made (memory, a damaged held document)
  Open,        // the file beside the target could not be created
  Write,       // writing or compressing the content
  Sync,        // making the content durable, or closing the file
  Rename,      // moving the complete file over the target
  SyncFolder,  // making the rename durable: the new file is in place, its name may not be
};

// What became of writing one file. For a failure: which file and why, as the system call
// (errno) or the library (zlib's message) said.
struct FileWriteResult {
  StatusCode code = StatusCode::kOk;  // kFileOpen, kNoMemory or kGeneral on failure
  WriteStep step = WriteStep::None;
  std::string path;           // the target file, absolute, UTF-8
  int systemError = 0;        // errno of the failing call; 0 when no system call failed
  std::string libraryText;    // the library's own words when there is no errno

  bool ok() const { return code == StatusCode::kOk; }
  // The outcome as writers return it: for a failure the code with the file and the reason
  // ("/out/a_sitemap.xml: No space left on device").
  Status status() const;
};

// The reason in the system's or the library's words (English), for the command line.
std::string FileWriteReasonText(const FileWriteResult& result);

// path made absolute (against the working folder) and normalised; as given when that fails.
std::string AbsoluteFilePath(const std::string& path);

// The failure record for a file whose content could not be made.
FileWriteResult PrepareFailure(const std::string& path, StatusCode code, const std::string& text);
