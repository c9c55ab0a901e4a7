#pragma once

#include <string>

namespace db {

// The file a path names, as an absolute path with its symbolic links
// followed, so that a file written beside it and renamed into place
// replaces the linked file and not the link. A path that cannot be
// resolved is returned absolute.
std::string resolvedPath(const std::string &path);

// Whether two paths name the same file (the same file on disk, or the same
// place once resolved).
bool sameFile(const std::string &a, const std::string &b);

// Flushes a folder's entries to disk, so that a file created or renamed in
// it survives a crash; failures are ignored (not every file system can).
void syncFolder(const std::string &folder);

// Makes the folders missing on the way to a file, readable by their owner
// only, as a user's data folders are. "" when they are there, else why not.
std::string createFoldersFor(const std::string &file);

// The reason a file operation failed, from its errno value, in the
// program's language for the reasons a user meets (no right to write, a
// full disk, a missing folder); the system's own text for the rest.
std::string systemErrorText(int error);

} // namespace db
