#include "platform/png_image.h"

#include "platform/file_bytes.h"

#include <algorithm>

namespace {

uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendBig32(std::vector<unsigned char>& bytes, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<unsigned char>(value >> shift));
}

void AppendChunk(std::vector<unsigned char>& png, const char type[4], const std::vector<unsigned char>& data)
{
    AppendBig32(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    AppendBig32(png, Crc32(png.data() + start, png.size() - start));
}

// A zlib stream of stored blocks.
std::vector<unsigned char> StoredZlib(const std::vector<unsigned char>& raw)
{
    std::vector<unsigned char> out = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - at, 65535);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<unsigned char>(length));
        out.push_back(static_cast<unsigned char>(length >> 8));
        out.push_back(static_cast<unsigned char>(~length));
        out.push_back(static_cast<unsigned char>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    AppendBig32(out, (b << 16) | a);
    return out;
}

}  // namespace

std::vector<unsigned char> PalettePng(int width, int height, const unsigned char* pixels, const uint32_t* palette,
                                      int paletteSize)
{
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    AppendBig32(header, static_cast<uint32_t>(width));
    AppendBig32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit palette indices, no interlace
    AppendChunk(png, "IHDR", header);
    std::vector<unsigned char> colours;
    for (int i = 0; i < paletteSize; ++i) {
        colours.push_back(static_cast<unsigned char>(palette[i] >> 16));
        colours.push_back(static_cast<unsigned char>(palette[i] >> 8));
        colours.push_back(static_cast<unsigned char>(palette[i]));
    }
    AppendChunk(png, "PLTE", colours);
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(width + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        const unsigned char* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        raw.insert(raw.end(), row, row + width);
    }
    AppendChunk(png, "IDAT", StoredZlib(raw));
    AppendChunk(png, "IEND", {});
    return png;
}

int WritePalettePng(const std::string& name, int width, int height, const unsigned char* pixels,
                    const uint32_t* palette, int paletteSize)
{
    return ReplaceFileBytes(name, PalettePng(width, height, pixels, palette, paletteSize));
}
