#pragma once

#include <string>

namespace setup {

// A step of a file operation that failed, with its cause; empty when it
// succeeded.
using Failure = std::string;

// "what：cause" for the errno of the call that just failed.
Failure errnoText(const std::string &what);

// The folder part of a path ("." for a bare name).
std::string folderOf(const std::string &path);

// A temporary file beside a target, named target + ".pennaro-tmp-XXXXXX",
// created with mode 0600 and removed unless it was moved into place. It is
// held under an exclusive flock while it lives, which is how
// removeStaleTemporaries tells it from one that a killed run left.
class TempFile {
public:
    explicit TempFile(const std::string &target);
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    const Failure &failure() const { return m_failure; }
    const std::string &path() const { return m_path; }
    // Open for reading and writing, at its start.
    int descriptor() const { return m_fd; }

    // Flushes the file, renames it over target and flushes the folder, so
    // the new name survives a crash.
    Failure moveTo(const std::string &target);

private:
    std::string m_path;
    int m_fd = -1;
    Failure m_failure;
};

// Copies a file byte for byte into a temporary file beside target, flushes
// it and renames it over target.
Failure copyFileDurably(const std::string &source, const std::string &target);

// Removes from the folder of file what a killed run of the program left
// there: temporary files that no live process holds, and the journals the
// engine wrote beside temporary files that are gone. Nothing else is
// touched, and no link is followed.
void removeStaleTemporaries(const std::string &file);

} // namespace setup
