#pragma once
// Palette PNG images of a colour-number picture, for the screen dumps of the console programs.
#include <cstdint>
#include <string>
#include <vector>

// The PNG file image of a width x height picture of colour numbers (row by row, each below
// `paletteSize`), with the palette as 0xRRGGBB values. Stored (uncompressed) deflate blocks: the
// images are small and need no compressor.
std::vector<unsigned char> PalettePng(int width, int height, const unsigned char* pixels, const uint32_t* palette,
                                      int paletteSize);

// Writes PalettePng to the file `name` through ReplaceFileBytes; 1 done, 0 or -1 as it says.
[[nodiscard]] int WritePalettePng(const std::string& name, int width, int height, const unsigned char* pixels,
                                  const uint32_t* palette, int paletteSize);
