// Paths that name no regular file, one of each kind, made in the current folder (plus
// /dev/zero): what the program must refuse to read or write without hanging or filling memory.
#pragma once

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct SpecialFile {
  std::string path;
  std::string kind;  // as the messages name it
};

inline std::vector<SpecialFile> make_special_files() {
  std::vector<SpecialFile> files;
  std::filesystem::create_directory("folder.inc");
  files.push_back({"folder.inc", "a folder"});
  if (::mkfifo("fifo.inc", 0600) == 0) files.push_back({"fifo.inc", "a FIFO (named pipe)"});
  if (std::filesystem::is_character_file("/dev/zero")) files.push_back({"/dev/zero", "a device"});
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, "socket.inc");
  if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    files.push_back({"socket.inc", "a socket"});
  if (fd >= 0) ::close(fd);  // the socket file stays
  return files;
}

}  // namespace testing_support
