// The LZ file layer: opens files for reading as their expanded bytes when they are
// SZDD-compressed (the format of "compress.exe"/mscompress) and as they are otherwise.
//
// Handles are small non-negative integers; -1 means "invalid". Handles are owned by the caller
// and must be closed with lzClose. All functions are thread-safe; a single handle has one user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarel::lz {

// Opens `path` for reading. Returns a handle, or -1 when the file cannot be opened or its
// SZDD data is damaged (bad header, expanded size above the 1 GiB cap).
int lzOpenFile(const std::string &path);

// Reads up to `count` bytes at the current position. Returns the number read (0 at the end),
// or -1 for an invalid handle or negative count.
int lzRead(int handle, void *buffer, int count);

// Moves the position: origin 0 = from the start, 1 = from the current position, 2 = from the
// end (all over expanded bytes). Returns the new position, or -1 for an invalid handle or a
// target before the start. A position past the end is allowed; reads there return 0.
int64_t lzSeek(int handle, int64_t offset, int origin);

// Closes the handle; closing -1 or an unknown handle does nothing.
void lzClose(int handle);

// True when the bytes begin with the SZDD signature "SZDD\x88\xF0\x27\x33".
bool isSzdd(const std::vector<unsigned char> &bytes);

// Expands SZDD data. Returns false (and leaves `out` empty) on a damaged header; truncated
// compressed data expands as far as it goes.
bool szddExpand(const std::vector<unsigned char> &compressed, std::vector<unsigned char> &out);

// Compresses bytes to SZDD (LZSS with a 4096-byte window, as "compress.exe -SZDD" writes).
// `lastChar` is the header's missing-last-character byte (0 when unknown).
std::vector<unsigned char> szddCompress(const std::vector<unsigned char> &plain, char lastChar = 0);

} // namespace zarel::lz
