// Small file helpers shared by the Qt-free layers: whole-file reads and atomic writes.
#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>

namespace zarel {

bool fileExists(const std::string &path);

// Reads a whole file into `out`. FileNotFound when it does not exist, ReadError otherwise.
Status readWholeFile(const std::string &path, std::string &out);

// Opens `path` for reading when it is a regular file: `fd` (the caller closes it) and its size.
// FileNotFound when it does not exist, ReadError otherwise (nothing left open).
Status openRegularFile(const std::string &path, int &fd, size_t &size);
// Reads from `fd` into `buffer` until `size` bytes or the end of the file; `done` is the count
// read (less than `size` when the file shrank meanwhile). ReadError names `path`.
Status readUpTo(int fd, char *buffer, size_t size, size_t &done, const std::string &path);

// Whether writeFileAtomic waits for the data to reach the disk.
enum class Durability {
    // The file and the rename are flushed before returning: user data, settings, index files.
    Durable,
    // Neither is flushed, and old temporaries are not swept. For bulk outputs (thousands of
    // sound files) whose writer flushes the whole file system once before it records them as
    // done (see syncFileSystem) and removes leftovers of stopped runs itself.
    Deferred,
};

// Writes `data` to a temporary file in the same folder and renames it over `path`, so readers
// see either the old or the new contents, never a mix; with Durability::Durable the file and
// the rename are flushed to disk first and temporaries of `path` that an interrupted earlier
// write left behind (over a minute old) are removed afterwards.
Status writeFileAtomic(const std::string &path, std::string_view data,
                       Durability durability = Durability::Durable);

// Flushes everything written to the file system that holds `path` to disk.
Status syncFileSystem(const std::string &path);

} // namespace zarel
