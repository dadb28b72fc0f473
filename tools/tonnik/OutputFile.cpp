#include "OutputFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const mode_t kNewFileMode = 0666;  // before the umask, as fopen creates files

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

OutputFile::~OutputFile() {
  if (mFd >= 0) close(mFd);
  if (!mTemp.empty() && !mCommitted) std::remove(mTemp.c_str());
}

bool OutputFile::open(const std::string& path, std::string& error) {
  mPath = path;
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return (error = path + ": not a file name"), false;
  std::string pattern = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  mFd = mkstemp(buffer.data());
  if (mFd < 0) return (error = path + ": cannot write in folder " + folderOf(path) + " (" + std::strerror(errno) + ")"), false;
  mTemp = buffer.data();
  return true;
}

bool OutputFile::commit(std::string& error) {
  if (mTemp.empty()) return (error = mPath + ": nothing was written"), false;
  if (mFd >= 0 && close(mFd) != 0) {
    mFd = -1;
    return (error = mPath + ": could not finish the file (" + std::strerror(errno) + ")"), false;
  }
  mFd = -1;
  const mode_t mask = umask(0);
  umask(mask);
  chmod(mTemp.c_str(), kNewFileMode & ~mask);
  if (std::rename(mTemp.c_str(), mPath.c_str()) != 0)
    return (error = mPath + ": could not be written (" + std::strerror(errno) + ")"), false;
  mCommitted = true;
  return true;
}

bool writeWholeFile(const std::string& path, const std::string& data, std::string& error) {
  OutputFile out;
  if (!out.open(path, error)) return false;
  for (size_t done = 0; done < data.size();) {
    const ssize_t n = write(out.descriptor(), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return (error = path + ": could not be written (" + std::strerror(errno) + ")"), false;
    done += (size_t)n;
  }
  return out.commit(error);
}
