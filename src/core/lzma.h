#pragma once
// A decoder for raw LZMA streams (the stream alone, its five property bytes given apart),
// as LZMA-compressed Flash movies carry them. The whole output is the dictionary: it never
// grows past the size asked for, and every read of the input and every copy inside the
// output is checked, so damaged data ends the decoding and never reads or writes astray.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vitrine {

enum class LzmaStatus {
  Done,       // the size asked for was decoded, or the stream's end marker came first
  CutShort,   // the input ran out first; out holds what was decoded until then
  Corrupt,    // the data is damaged (or the properties invalid); out holds what came before
};

// Decodes stream into out, at most outSize bytes. properties: lc/lp/pb byte then the
// dictionary size (little-endian), which is not needed when the output is in one piece.
LzmaStatus LzmaDecode(std::span<const uint8_t> properties, std::span<const uint8_t> stream, size_t outSize,
                      std::vector<uint8_t>& out);

}  // namespace vitrine
