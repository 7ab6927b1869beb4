#include "pagehost/background_image.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace vorlintex::pagehost {
namespace {

constexpr int kMinCodeSize = 2;  // four palette entries
constexpr int kClearCode = 1 << kMinCodeSize;
constexpr int kEndCode = kClearCode + 1;
constexpr int kMaxCodes = 4096;

// Variable-width codes packed least significant bit first, as GIF wants them.
class CodeWriter {
 public:
  void Put(int code, int width) {
    bits_ |= static_cast<uint32_t>(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      bytes_.push_back(static_cast<char>(bits_ & 0xff));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  std::string Finish() {
    if (count_ > 0) bytes_.push_back(static_cast<char>(bits_ & 0xff));
    return std::move(bytes_);
  }

 private:
  uint32_t bits_ = 0;
  int count_ = 0;
  std::string bytes_;
};

std::string LzwEncode(const std::vector<uint8_t>& pixels) {
  CodeWriter out;
  std::map<std::pair<int, uint8_t>, int> table;
  int width = kMinCodeSize + 1;
  int next = kEndCode + 1;
  out.Put(kClearCode, width);
  int prefix = pixels.front();
  for (size_t i = 1; i < pixels.size(); ++i) {
    uint8_t pixel = pixels[i];
    auto found = table.find({prefix, pixel});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    out.Put(prefix, width);
    if (next < kMaxCodes) {
      table[{prefix, pixel}] = next++;
      if (next > (1 << width) && width < 12) ++width;
    } else {
      out.Put(kClearCode, width);
      table.clear();
      width = kMinCodeSize + 1;
      next = kEndCode + 1;
    }
    prefix = pixel;
  }
  out.Put(prefix, width);
  // The decoder adds its entry for the last code only now, and may widen before the end code.
  if (next == (1 << width) && width < 12) ++width;
  out.Put(kEndCode, width);
  return out.Finish();
}

void PutWord(std::string* out, int value) {
  out->push_back(static_cast<char>(value & 0xff));
  out->push_back(static_cast<char>((value >> 8) & 0xff));
}

std::string MakeGif() {
  constexpr int size = kBackgroundTileSize;
  std::vector<uint8_t> pixels;
  pixels.reserve(size * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) pixels.push_back(static_cast<uint8_t>(BackgroundPixel(x, y)));
  }

  std::string gif = "GIF89a";
  PutWord(&gif, size);
  PutWord(&gif, size);
  gif.push_back(static_cast<char>(0x91));  // global palette, 2 bits of colour, 4 entries
  gif.push_back(0);                        // background: the ground colour
  gif.push_back(0);                        // square pixels
  static constexpr uint8_t kPalette[4][3] = {
      {0xf7, 0xfa, 0xfd},  // ground
      {0xe3, 0xec, 0xf6},  // diagonal
      {0xff, 0xff, 0xff},
      {0xff, 0xff, 0xff},
  };
  for (const auto& colour : kPalette) {
    for (uint8_t channel : colour) gif.push_back(static_cast<char>(channel));
  }
  gif.push_back(0x2c);  // image descriptor: the whole canvas, no local palette
  PutWord(&gif, 0);
  PutWord(&gif, 0);
  PutWord(&gif, size);
  PutWord(&gif, size);
  gif.push_back(0);
  gif.push_back(kMinCodeSize);
  std::string data = LzwEncode(pixels);
  for (size_t start = 0; start < data.size(); start += 255) {
    size_t length = std::min<size_t>(255, data.size() - start);
    gif.push_back(static_cast<char>(length));
    gif.append(data, start, length);
  }
  gif.push_back(0);     // end of the image data
  gif.push_back(0x3b);  // trailer
  return gif;
}

}  // namespace

int BackgroundPixel(int x, int y) {
  constexpr int period = kBackgroundTileSize / 2;
  bool rising = (x + y) % period == 0;
  bool falling = (x - y + kBackgroundTileSize) % period == 0;
  return rising || falling ? 1 : 0;
}

const std::string& BackgroundGif() {
  static const std::string gif = MakeGif();
  return gif;
}

}  // namespace vorlintex::pagehost
