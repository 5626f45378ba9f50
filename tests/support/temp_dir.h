// A temporary folder that is removed with everything in it when the object goes away.
#pragma once

#include <string>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path()/relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes bytes to a file, creating its folders; fails the test on error.
void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);

}  // namespace testsupport
