#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace lumavine {

// Writes pictures as GIF, which the image library cannot: the picture is
// reduced to at most 256 colours (its own colours when it has that few,
// otherwise a 6 x 7 x 6 colour cube with ordered dithering) and encoded with
// giflib.
class GifWriter {
public:
    struct Indexed {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> palette;
        // One palette index per pixel, row by row.
        std::vector<uint8_t> pixels;
    };

    // Translucent pixels are laid over white first, as a page shows them.
    static Indexed reduceColors(const QImage& image);
    // The picture as the bytes of a GIF file; false for a picture GIF cannot
    // hold (empty, or wider or higher than its 16-bit sizes).
    static bool encode(const QImage& image, std::string& bytes);
};

}
