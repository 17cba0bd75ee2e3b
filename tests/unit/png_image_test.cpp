#include "platform/png_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

uint32_t Big32(const std::vector<unsigned char>& bytes, size_t at)
{
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// The chunks of a PNG image by type, and the pixel rows of its stored-block image data.
TEST(PngImage, PalettePictureWithItsRowsInStoredBlocks)
{
    const uint32_t palette[3] = {0x000000, 0x5555FF, 0xFFFFFF};
    for (const int width : {3, 640}) {
        const int height = width == 3 ? 2 : 350;  // 640 x 350 needs several stored blocks
        std::vector<unsigned char> pixels(static_cast<size_t>(width * height));
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<unsigned char>(i % 3);
        const std::vector<unsigned char> png = PalettePng(width, height, pixels.data(), palette, 3);
        ASSERT_GT(png.size(), 8u);
        EXPECT_EQ(std::vector<unsigned char>(png.begin(), png.begin() + 8),
                  (std::vector<unsigned char>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
        // The last chunk, with the CRC every PNG's IEND carries.
        EXPECT_EQ(std::vector<unsigned char>(png.end() - 12, png.end()),
                  (std::vector<unsigned char>{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));
        std::vector<unsigned char> raw;
        size_t at = 8;
        std::string types;
        while (at + 12 <= png.size()) {
            const uint32_t length = Big32(png, at);
            const std::string type(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
            types += type + " ";
            const size_t data = at + 8;
            if (type == "IHDR") {
                EXPECT_EQ(Big32(png, data), static_cast<uint32_t>(width));
                EXPECT_EQ(Big32(png, data + 4), static_cast<uint32_t>(height));
                EXPECT_EQ(png[data + 8], 8);  // bit depth
                EXPECT_EQ(png[data + 9], 3);  // palette colour
            } else if (type == "PLTE") {
                EXPECT_EQ(length, 9u);
                EXPECT_EQ(png[data + 3], 0x55);
                EXPECT_EQ(png[data + 5], 0xFF);
            } else if (type == "IDAT") {
                size_t block = data + 2;  // after the zlib header
                bool last = false;
                while (!last) {
                    last = png[block] & 1;
                    const size_t size = png[block + 1] | png[block + 2] << 8;
                    EXPECT_EQ(size ^ (png[block + 3] | png[block + 4] << 8), 0xFFFFu);
                    raw.insert(raw.end(), png.begin() + static_cast<long>(block) + 5,
                               png.begin() + static_cast<long>(block + 5 + size));
                    block += 5 + size;
                }
                EXPECT_EQ(block + 4, data + length);  // the Adler-32 closes the stream
            }
            at = data + length + 4;
        }
        EXPECT_EQ(at, png.size());
        EXPECT_EQ(types, "IHDR PLTE IDAT IEND ");
        ASSERT_EQ(raw.size(), static_cast<size_t>((width + 1) * height));
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(raw[static_cast<size_t>(y * (width + 1))], 0);  // no filter
            EXPECT_TRUE(std::equal(pixels.begin() + y * width, pixels.begin() + (y + 1) * width,
                                   raw.begin() + y * (width + 1) + 1));
        }
    }
}

}  // namespace
