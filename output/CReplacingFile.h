#pragma once
#include <string>
#include <string_view>

#include "output/FileWriteResult.h"

// A file written beside its final name (name + ".part") and moved over it only when it is
// complete: the content is flushed to the disk, the file renamed over the target, then the
// folder flushed so that the new name survives a power cut. A failed or interrupted save
// never replaces a good file with a partial one, and leaves no partial file behind. As with
// a plain open for writing, an existing target's permission bits carry over to the new file,
// a target the user may not write is refused, and a symbolic link is written through (the
// file it names is replaced). The name is a UTF-8 file system path.
class CReplacingFile {
 public:
  explicit CReplacingFile(const std::string& finalPath);
  // Removes the partial file unless Commit succeeded.
  ~CReplacingFile();
  CReplacingFile(const CReplacingFile&) = delete;
  CReplacingFile& operator=(const CReplacingFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  // A duplicate of the descriptor for a writer that closes what it is given (-1 on failure).
  int DuplicateDescriptor() const;
  bool Write(std::string_view bytes);
  // Marks the content as wrong, with the cause (a writer of its own failed: its errno, or
  // its library's words); Commit then fails and the final file stays as it was.
  void Fail(WriteStep step, int systemError, const std::string& libraryText = std::string());
  // Makes the content durable and moves it over the final name.
  bool Commit();

  // The outcome so far: ok until a step failed, then that step with its cause.
  const FileWriteResult& result() const { return result_; }
  // result() as writers return it: ok, or the failing step's code with the file and the cause.
  Status status() const { return result_.status(); }

  static constexpr const char* kPartSuffix = ".part";

 private:
  void Record(WriteStep step, int systemError);
  bool SyncFolder();
  void Discard();

  std::string finalPath_;
  std::string partPath_;
  int fd_ = -1;
  bool opened_ = false;  // the partial file is ours to remove
  bool failed_ = false;
  bool committed_ = false;
  FileWriteResult result_;
};
