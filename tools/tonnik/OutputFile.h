#pragma once
// A file written whole or not at all: the data goes to a temporary file in the
// same folder, which takes the final name only when commit() succeeds, so a
// failed or interrupted write never leaves a partial file under that name (nor,
// once the object is gone, the temporary one). Owns the temporary file until
// commit; main thread.

#include <string>

class OutputFile {
public:
  OutputFile() = default;
  // Removes the temporary file unless committed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the temporary file beside path. False with a message naming path
  // and the folder's problem.
  bool open(const std::string& path, std::string& error);
  // The temporary file, open for writing; the caller may close it (once).
  int descriptor() const { return mFd; }
  const std::string& temporaryPath() const { return mTemp; }
  // Forgets the descriptor when something else has closed it.
  void descriptorClosed() { mFd = -1; }
  // Closes the descriptor if still open and renames the file to its final
  // name, with the permissions a newly created file gets.
  bool commit(std::string& error);

private:
  std::string mPath;
  std::string mTemp;
  int mFd = -1;
  bool mCommitted = false;
};

// Writes data as the whole file, through an OutputFile.
bool writeWholeFile(const std::string& path, const std::string& data, std::string& error);
