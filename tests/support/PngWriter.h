// Writes 8-bit RGB images as PNG files, with no library: the image data goes into stored
// (uncompressed) deflate blocks.
#ifndef VANTOR_TEST_PNG_WRITER_H
#define VANTOR_TEST_PNG_WRITER_H

#include <stdint.h>

#include <string>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width * height * 3 bytes, rows top to bottom

    uint32_t At(int x, int y) const // 0xRRGGBB
    {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    // The pixels of that colour in the rectangle at (x, y); by default up to the far edges.
    int Count(uint32_t colour, int x = 0, int y = 0, int w = -1, int h = -1) const
    {
        int n = 0;
        for (int row = y; row < (h < 0 ? height : y + h); row++)
            for (int column = x; column < (w < 0 ? width : x + w); column++)
                n += At(column, row) == colour;
        return n;
    }
};

// False when the file cannot be written.
bool WritePng(const std::string& path, const RgbImage& image);

// <build>/test-artifacts/<name>, the directory made when needed.
std::string ArtifactPath(const std::string& name);

#endif
