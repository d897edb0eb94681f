#pragma once

#include <string>

namespace ri {

// The doorways through which the files of a run reach the disk, each with
// what survives a crash of the process and a power cut. Every one writes
// through File::WriteAll and never follows a symbolic link.
//
//  - Working copies (FileWritter lines, File::WriteFile, KnownFile): what a
//    run shows while it goes on. The bytes are in the page cache only: a
//    crash of the process keeps them, a power cut may lose them.
//  - RewriteDurably (the one-byte status file): the bytes written over the
//    file's start, its data synced; a file created by the write has its
//    folder synced too. Once it returns true the bytes survive a power cut
//    (a one-sector overwrite is written whole or not at all).
//  - ReplaceFile (ri/ReplaceFile.h; the result, cheque, output and exchange
//    files at the end of a transaction): a temporary file synced, renamed
//    over the name, the folder synced. A reader sees the whole old file or
//    the whole new one, and after true the new one survives a power cut.
//
// A failed write or sync is a failure, never retried as if the data were
// safe: after a failed sync the kernel may call the pages clean.
namespace RunFile {

// The status byte's doorway; false, with the step and the system's reason
// in *error (when given), when any step fails.
bool RewriteDurably(const std::string& path, const std::string& data, std::string* error = nullptr);
// Syncs the folder that holds path (its entries: new, renamed, removed
// files); false when it cannot be opened or synced.
bool SyncFolder(const std::string& path);

}  // namespace RunFile

}  // namespace ri
