#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The settings files of an installation are read at every run, and a
// process that makes many runs finds them unchanged between runs. This keeps
// each file's pairs, as the flat tables' line rules make them, from one read
// to the next in the process: a file is taken from here only while it is the
// very file that was read (device, inode, size, modification and change
// times). A file changed in the last two seconds is read again at every run,
// so that a change within one tick of the file system's clock is never
// missed. Guarded by a mutex: sessions of several threads share it.
namespace SettingsFiles {

// The pairs MakePair receives, in the file's order.
using Pairs = std::vector<std::pair<std::string, std::string>>;

// The pairs of the file at path; null when there is no file there that can
// be read (a folder counts as none; errno tells why).
std::shared_ptr<const Pairs> Read(const std::string& path);

}  // namespace SettingsFiles
