#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "encoders/gif_encoder.h"
#include "imaging/decoders/cut_rle_decoder.h"
#include "imaging/decoders/gif_lzw_decoder.h"
#include "imaging/decoders/lz77_decoder.h"
#include "imaging/decoders/packbits_rle_decoder.h"
#include "imaging/decoders/psp_rle_decoder.h"
#include "imaging/decoders/rla_decoder.h"

namespace vitrine {
namespace {

// Runs a decoder over all of packed into a buffer of size bytes (filled with 0xEE first);
// also reports how much of the source it consumed.
std::vector<uint8_t> DecodeAll(TDecoder& decoder, const std::vector<uint8_t>& packed, size_t size, size_t* consumed = nullptr,
                         size_t* produced = nullptr) {
  std::vector<uint8_t> out(size + 4, 0xEE);  // 4 guard bytes that must stay untouched
  const uint8_t* source = packed.data();
  uint8_t* dest = out.data();
  decoder.Decode(source, dest, packed.size(), size);
  if (consumed) *consumed = size_t(source - packed.data());
  if (produced) *produced = size_t(dest - out.data());
  for (size_t i = size; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << "wrote past the end";
  out.resize(size);
  return out;
}

using V = std::vector<uint8_t>;

TEST(RunLengthDecoders, EachSchemeDecodesRunsAndLiterals) {
  TCUTRLEDecoder cut;
  EXPECT_EQ(DecodeAll(cut, {0x83, 9, 0x02, 1, 2, 0x00, 0x81, 5}, 5), (V{9, 9, 9, 1, 2}));
  TRLADecoder rla;
  EXPECT_EQ(DecodeAll(rla, {2, 9, 0xFE, 1, 2}, 5), (V{9, 9, 9, 1, 2}));  // 2 -> three 9s, -2 -> two literals
  TPackbitsRLEDecoder packbits;
  EXPECT_EQ(DecodeAll(packbits, {0xFE, 9, 0x80, 0x01, 1, 2}, 5), (V{9, 9, 9, 1, 2}));  // -128 does nothing
  TPSPRLEDecoder psp;
  EXPECT_EQ(DecodeAll(psp, {0x83, 9, 0x02, 1, 2}, 5), (V{9, 9, 9, 1, 2}));
}

TEST(RunLengthDecoders, CutRowEndsAtTheZeroByte) {
  TCUTRLEDecoder cut;
  size_t consumed = 0, produced = 0;
  DecodeAll(cut, {0x82, 4, 0x00, 0x83, 7}, 8, &consumed, &produced);
  EXPECT_EQ(consumed, 3u);
  EXPECT_EQ(produced, 2u);
}

TEST(RunLengthDecoders, OverlongRunsAndTruncatedLiteralsStayInBounds) {
  TPackbitsRLEDecoder packbits;
  EXPECT_EQ(DecodeAll(packbits, {0x81, 3}, 4), (V{3, 3, 3, 3}));  // a run of 128 into 4 bytes
  size_t produced = 0;
  DecodeAll(packbits, {0x7F, 1, 2}, 10, nullptr, &produced);  // 128 literals announced, 2 present
  EXPECT_EQ(produced, 2u);
  TRLADecoder rla;
  EXPECT_EQ(DecodeAll(rla, {0x7F, 6}, 3), (V{6, 6, 6}));
  TPSPRLEDecoder psp;
  DecodeAll(psp, {0x80}, 10, nullptr, &produced);  // 128 literals, none there
  EXPECT_EQ(produced, 0u);
  TCUTRLEDecoder cut;
  DecodeAll(cut, {0x85}, 10, nullptr, &produced);  // a run without its value byte
  EXPECT_EQ(produced, 0u);
}

// Codes written by hand, LSB first: clear, then codes of 3 bits with minimum size 2.
V PackCodes(const std::vector<std::pair<int, int>>& codes) {
  testing::GifCodeWriter writer;
  for (auto [code, size] : codes) writer.Put(code, size);
  writer.Flush();
  return writer.bytes;
}

TEST(GIFLZWDecoder, RepeatsThroughTheCodeBeingDefined) {
  // clear(4), 1, then 6 and 7 each defined by their own use: "1 1" and "1 1 1"; end code.
  TGIFLZWDecoder decoder(2);
  const V packed = PackCodes({{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}});
  size_t produced = 0;
  const V out = DecodeAll(decoder, packed, 10, nullptr, &produced);
  EXPECT_EQ(produced, 6u);
  EXPECT_EQ(V(out.begin(), out.begin() + 6), (V{1, 1, 1, 1, 1, 1}));
  EXPECT_TRUE(decoder.EndCodeSeen());
}

TEST(GIFLZWDecoder, CodesWidenWhenTheTableReachesAPowerOfTwo) {
  // After clear the table starts at 6; codes 6 and 7 are added by the 2nd and 3rd code, so
  // the 4th code is 4 bits wide.
  TGIFLZWDecoder decoder(2);
  const V packed = PackCodes({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {5, 4}});
  EXPECT_EQ(DecodeAll(decoder, packed, 4), (V{0, 1, 2, 3}));
}

TEST(GIFLZWDecoder, AFullTableKeepsTwelveBitCodesUntilTheNextClear) {
  // 8-bit roots; enough codes to fill the table, then more 12-bit codes without a clear.
  std::vector<std::pair<int, int>> codes = {{256, 9}};
  int next = 258, size = 9;
  V expected;
  codes.push_back({1, size});
  expected.push_back(1);
  for (int i = 0; i < 5000; ++i) {
    codes.push_back({i % 2, size});
    expected.push_back(uint8_t(i % 2));
    if (next < 4096) {
      ++next;
      if (next == (1 << size) && size < 12) ++size;
    }
  }
  codes.push_back({257, size});
  TGIFLZWDecoder decoder(8);
  EXPECT_EQ(DecodeAll(decoder, PackCodes(codes), expected.size()), expected);
}

TEST(GIFLZWDecoder, ACodePastTheTableIsAnInvalidOpcode) {
  TGIFLZWDecoder decoder(2);
  try {
    DecodeAll(decoder, PackCodes({{4, 3}, {1, 3}, {7, 3}}), 8);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "GIF LZW: invalid opcode.");
  }
}

TEST(GIFLZWDecoder, DataWithoutClearOrEndCodeDecodesWhatIsThere) {
  TGIFLZWDecoder decoder(2);
  EXPECT_EQ(DecodeAll(decoder, PackCodes({{2, 3}, {3, 3}}), 2), (V{2, 3}));
  EXPECT_FALSE(decoder.EndCodeSeen());
}

TEST(LZ77Decoder, InflatesPieceByPieceAndReportsWhatIsLeft) {
  V plain(1000);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = uint8_t(i * 7);
  uLongf size = compressBound(uLong(plain.size()));
  V packed(size);
  compress(packed.data(), &size, plain.data(), uLong(plain.size()));
  packed.resize(size);

  TLZ77Decoder decoder(Z_NO_FLUSH);
  decoder.DecodeInit();
  V out(plain.size());
  const uint8_t* source = packed.data();
  uint8_t* dest = out.data();
  const size_t half = packed.size() / 2;
  decoder.Decode(source, dest, half, out.size());
  EXPECT_EQ(decoder.Result(), Z_OK);
  EXPECT_EQ(decoder.AvailableInput(), 0u);
  decoder.Decode(source, dest, packed.size() - half, size_t(out.data() + out.size() - dest));
  EXPECT_EQ(decoder.Result(), Z_STREAM_END);
  EXPECT_EQ(decoder.AvailableOutput(), 0u);
  decoder.DecodeEnd();
  EXPECT_EQ(out, plain);
}

TEST(LZ77Decoder, OutputIsBoundedAndErrorsAreKeptNotThrown) {
  V zeros(1 << 20, 0);
  uLongf size = compressBound(uLong(zeros.size()));
  V packed(size);
  compress(packed.data(), &size, zeros.data(), uLong(zeros.size()));
  packed.resize(size);
  TLZ77Decoder bomb(Z_FINISH);
  bomb.DecodeInit();
  size_t produced = 0;
  DecodeAll(bomb, packed, 100, nullptr, &produced);
  EXPECT_EQ(produced, 100u);
  EXPECT_EQ(bomb.AvailableOutput(), 0u);
  bomb.DecodeEnd();

  TLZ77Decoder broken(Z_NO_FLUSH);
  broken.DecodeInit();
  DecodeAll(broken, {0x78, 0x9C, 0xFF, 0xFF}, 10);
  EXPECT_EQ(broken.Result(), Z_DATA_ERROR);
  broken.DecodeEnd();

  TLZ77Decoder closed(Z_NO_FLUSH);
  try {
    closed.DecodeEnd();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "LZ77 decompression error.");
  }
}

}  // namespace
}  // namespace vitrine
