// The game's pictures decoded for the backends, and pictures saved as PNG.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace plat {

// One picture from its source bytes, or from a BMP of it drawn beforehand;
// throws std::runtime_error when they are broken or come out at another size.
Surface DecodePicture(const PictureSpec& spec, std::span<const uint8_t> bytes);
// The name a program carries a picture drawn beforehand under, which it
// takes before the picture's source.
std::string DrawnName(const PictureSpec& spec);
// The picture as the bytes of a BMP file (indexed where its colours fit a
// palette); empty when it cannot be encoded.
std::vector<uint8_t> BmpBytes(const Surface& picture);
// Every picture of a table from the files embedded in the program; throws
// BrokenPicture naming the first broken one.
std::shared_ptr<const PictureSet> DecodePictures(PictureTable table);
// The same, decoded once per process for each table (on whichever thread asks
// first) and only read afterwards, by any thread.
std::shared_ptr<const PictureSet> SharedPictures(PictureTable table);

// The picture as the bytes of a PNG file; empty when it cannot be encoded.
std::vector<uint8_t> PngBytes(const Surface& picture);
// Writes the picture as a PNG, whole or not at all (replacing what is at
// path); false when it could not be written.
bool SavePng(const Surface& picture, const std::string& path);

}  // namespace plat
