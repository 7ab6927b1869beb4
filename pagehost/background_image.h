// The wizard pages' background, morvanebg.gif: a quiet tile of thin pale-blue diagonals on a
// near-white ground, drawn here and encoded as a GIF, so the page host needs no file beside it.
#pragma once

#include <string>

namespace vorlintex::pagehost {

inline constexpr int kBackgroundTileSize = 48;
inline constexpr char kBackgroundContentType[] = "image/gif";

// The palette index (0 ground, 1 diagonal) of the tile's pixel at column `x`, row `y`.
int BackgroundPixel(int x, int y);

// The GIF file: one 48x48 image with a four-entry palette. Made once; safe from any thread.
const std::string& BackgroundGif();

}  // namespace vorlintex::pagehost
