#pragma once
#include <string>

// A fresh folder below the temporary folder for one browser profile, removed with all it holds
// at the end.
class ProfileFolder {
 public:
  ProfileFolder();
  ~ProfileFolder();
  ProfileFolder(const ProfileFolder&) = delete;
  ProfileFolder& operator=(const ProfileFolder&) = delete;

  // Empty when no folder could be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
