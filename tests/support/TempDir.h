#pragma once
#include <filesystem>
#include <string>

// A fresh folder below the system's temporary folder, removed with its content at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// Changes the working directory for the life of the object, and changes it back.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::filesystem::path& dir);
  ~ScopedWorkingDir();

 private:
  std::filesystem::path previous_;
};

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);
