#pragma once

#include <cstdio>
#include <string>

namespace tessary {

// The file a save replaces, and the temporary file the new content is written to first.
//
// A save never writes into the file it replaces until the new content is complete on disk:
// Open checks the target and creates a temporary file beside it, the caller writes that file
// through Descriptor() (any encoding it likes), and Commit puts it in place of the target.
// What Open decides about the target:
//   - a symbolic link is followed (link by link); the file it names is replaced and the link
//     stays;
//   - a target that exists but is not a regular file (a device, a FIFO, a socket, a folder)
//     is refused, as is one the process may not write: nothing is created;
//   - the temporary file gets the replaced file's permission bits, and its owner and group
//     where the process may set them; a new file gets the usual permissions (0666 less the
//     umask);
//   - the temporary name is short (".tsy-" and six characters), so any name the file system
//     accepts can be saved to.
// Commit renames the temporary file over the target, or, when the target has other hard
// links, copies the finished content over it so that every name sees the new text. A
// SaveTarget that is destroyed without a successful Commit removes its temporary file and
// leaves the target as it was.
//
// Names are UTF-8 on every system. On Windows (SaveTargetWindows.cpp) a link is followed to
// its final path, a target that is no disk file is refused as "not a regular file", a read-only
// one with "Permission denied", the temporary file gets the folder's usual permissions, and
// Commit replaces the target with MoveFileExW in one step.
class SaveTarget {
  public:
    SaveTarget() = default;
    ~SaveTarget();
    SaveTarget(const SaveTarget&) = delete;
    SaveTarget& operator=(const SaveTarget&) = delete;

    // False when the target may not be replaced or no temporary file can be made beside it.
    bool Open(const std::string& path);
    // The temporary file, open for writing, as a descriptor or as a stream on it (made on the
    // first call; none when that fails). Both stay owned here and are closed by Commit: -1 and
    // none before a successful Open and after Commit.
    int Descriptor() const { return fd_; }
    std::FILE* Stream();
    // Flushes the stream (if one was made), makes the written content durable and puts it in place
    // of the target. False leaves the target as it was.
    bool Commit();

    // Records why the save failed, unless an earlier step already did (an errno value; 0
    // counts as an input/output error). Returns false, for `ok = step() || Fail(errno)`.
    bool Fail(int error);
    // Why the last Open or Commit failed, as the system words it ("Permission denied"), or
    // why the target was refused ("not a regular file").
    std::string Reason() const;

    // The file that is really replaced (the end of the chain of symbolic links).
    const std::string& ResolvedPath() const { return resolved_; }
    const std::string& TemporaryPath() const { return temporary_; }

  private:
    bool CopyOverTarget();
    void Discard();

    std::string resolved_;
    std::string folder_;  // made before the point of no return: Commit allocates nothing
    std::string temporary_;
    int error_ = 0;
    const char* refusal_ = nullptr;  // a reason that no errno value words
    int fd_ = -1;
    std::FILE* stream_ = nullptr;
    bool exists_ = false;
    // Rename the temporary file over the target, or copy its content into the target (other
    // hard links, or an owner the new file could not be given).
    bool copyOver_ = false;
};

}  // namespace tessary
