#pragma once
// The file formats the program's artwork is built into, from pictures as rows of RGBA bytes
// (top row first, colour not premultiplied): 24-bit bitmaps and icon and cursor files whose
// entries are bitmap-coded, the form every Windows from 2000 on reads.
#include <cstdint>
#include <span>
#include <vector>

namespace tarvelin::artpack {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::span<const uint8_t> rgba;  // width * height * 4 bytes
    bool Valid() const;
};

// A bottom-up 24-bit bitmap file of the picture laid over white; empty for an invalid picture.
std::vector<uint8_t> EncodeBmp24(const Picture& picture);

struct IconEntry {
    Picture picture;    // at most 256 x 256
    uint16_t hotX = 0;  // cursors only
    uint16_t hotY = 0;
};

// An icon (or, with cursor set, a cursor) file of 32-bit entries, each with its mask: a pixel
// at least half opaque is drawn, the others are left out where the system ignores alpha.
// Empty when there is no entry or one is invalid or too large.
std::vector<uint8_t> EncodeIconFile(std::span<const IconEntry> entries, bool cursor);

}  // namespace tarvelin::artpack
