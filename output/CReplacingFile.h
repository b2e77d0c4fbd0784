#pragma once
#include <string>
#include <string_view>

// A file written beside its final name (name + ".part") and moved over it only when it is
// complete, so a failed or interrupted save never replaces a good file with a partial one.
// The name is a UTF-8 file system path.
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
  // Marks the content as wrong; Commit then fails and the final file stays as it was.
  void Fail() { failed_ = true; }
  // Makes the content durable and moves it over the final name.
  bool Commit();

  static constexpr const char* kPartSuffix = ".part";

 private:
  void Discard();

  std::string finalPath_;
  std::string partPath_;
  int fd_ = -1;
  bool opened_ = false;  // the partial file is ours to remove
  bool failed_ = false;
  bool committed_ = false;
};
