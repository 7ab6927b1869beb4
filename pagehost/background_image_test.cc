#include "pagehost/background_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vorlintex::pagehost {
namespace {

// A plain GIF LZW decoder (the textbook algorithm), so the test checks the encoder against the
// format rather than against itself.
std::vector<int> LzwDecode(const std::string& data, int min_code_size) {
  const int clear = 1 << min_code_size;
  const int end = clear + 1;
  std::vector<std::vector<int>> table;
  auto reset = [&] {
    table.clear();
    for (int i = 0; i < clear + 2; ++i) table.push_back({i});
  };
  reset();
  int width = min_code_size + 1;
  size_t bit = 0;
  auto next_code = [&]() -> int {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) {
      if (bit / 8 >= data.size()) return -1;
      code |= ((static_cast<uint8_t>(data[bit / 8]) >> (bit % 8)) & 1) << i;
    }
    return code;
  };
  std::vector<int> out;
  int previous = -1;
  while (true) {
    int code = next_code();
    if (code < 0) ADD_FAILURE() << "image data ends without an end code";
    if (code < 0 || code == end) break;
    if (code == clear) {
      reset();
      width = min_code_size + 1;
      previous = -1;
      continue;
    }
    std::vector<int> entry;
    if (code < static_cast<int>(table.size())) {
      entry = table[static_cast<size_t>(code)];
    } else if (code == static_cast<int>(table.size()) && previous >= 0) {
      entry = table[static_cast<size_t>(previous)];
      entry.push_back(entry.front());
    } else {
      ADD_FAILURE() << "code " << code << " is not in the table";
      break;
    }
    out.insert(out.end(), entry.begin(), entry.end());
    if (previous >= 0 && table.size() < 4096) {
      std::vector<int> added = table[static_cast<size_t>(previous)];
      added.push_back(entry.front());
      table.push_back(added);
      if (static_cast<int>(table.size()) == (1 << width) && width < 12) ++width;
    }
    previous = code;
  }
  return out;
}

int Word(const std::string& gif, size_t at) {
  return static_cast<uint8_t>(gif[at]) | (static_cast<uint8_t>(gif[at + 1]) << 8);
}

TEST(BackgroundImageTest, IsAWellFormedGifOfThePattern) {
  const std::string& gif = BackgroundGif();
  ASSERT_GT(gif.size(), 13u + 12u + 10u + 2u);
  EXPECT_EQ(gif.substr(0, 6), "GIF89a");
  EXPECT_EQ(Word(gif, 6), kBackgroundTileSize);
  EXPECT_EQ(Word(gif, 8), kBackgroundTileSize);
  EXPECT_EQ(static_cast<uint8_t>(gif[10]), 0x91);
  size_t at = 13 + 12;  // after the header and the four-entry palette
  ASSERT_EQ(static_cast<uint8_t>(gif[at]), 0x2c);
  EXPECT_EQ(Word(gif, at + 5), kBackgroundTileSize);
  EXPECT_EQ(Word(gif, at + 7), kBackgroundTileSize);
  EXPECT_EQ(gif[at + 9], 0);
  int min_code_size = gif[at + 10];
  at += 11;
  std::string data;
  while (at < gif.size() && gif[at] != 0) {
    size_t length = static_cast<uint8_t>(gif[at]);
    data.append(gif, at + 1, length);
    at += 1 + length;
  }
  ASSERT_EQ(at + 2, gif.size());
  EXPECT_EQ(gif.back(), 0x3b);

  std::vector<int> pixels = LzwDecode(data, min_code_size);
  ASSERT_EQ(pixels.size(), static_cast<size_t>(kBackgroundTileSize * kBackgroundTileSize));
  int lines = 0;
  for (int y = 0; y < kBackgroundTileSize; ++y) {
    for (int x = 0; x < kBackgroundTileSize; ++x) {
      int pixel = pixels[static_cast<size_t>(y * kBackgroundTileSize + x)];
      ASSERT_EQ(pixel, BackgroundPixel(x, y)) << x << "," << y;
      lines += pixel;
    }
  }
  // A quiet pattern: mostly ground, some diagonal.
  EXPECT_GT(lines, 0);
  EXPECT_LT(lines, kBackgroundTileSize * kBackgroundTileSize / 4);
}

}  // namespace
}  // namespace vorlintex::pagehost
