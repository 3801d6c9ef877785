#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dovetrel::test {

/// A fresh directory for one test, removed with everything in it when the test ends.
class CTempDir {
public:
  /// A new directory under \p strParent, or under $TMPDIR (else /tmp) when it is empty.
  explicit CTempDir(const std::string& strParent = {});
  ~CTempDir();
  CTempDir(const CTempDir&) = delete;
  CTempDir& operator=(const CTempDir&) = delete;

  /// The directory, ending with '/'.
  const std::string& Path() const { return m_strPath; }
  /// Writes \p content to \p strName inside the directory; returns its full path.
  std::string Write(const std::string& strName, std::string_view content) const;
  /// The content of \p strName inside the directory (a full path works too).
  std::string Read(const std::string& strName) const;
  /// Names of the entries in the directory, sorted.
  std::vector<std::string> Names() const;
  /// The same names in one line, separated by spaces.
  std::string List() const;
  /// Removes every entry, so that the directory can serve again.
  void Clean() const;

private:
  std::string m_strPath;
};

/// "/dev/shm" when it can be written, else empty: a parent for directories whose files need never
/// reach a disk.
std::string MemoryBackedParent();

/// The whole content of the file at \p strPath; empty when it cannot be read.
std::string ReadWholeFile(const std::string& strPath);

/// Open file descriptors of this process: the same before and after code that must leak none.
int CountOpenDescriptors();

} // namespace dovetrel::test
