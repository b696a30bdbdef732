#include "picture/GifWriter.h"

#include <QPainter>
#include <array>
#include <gif_lib.h>

namespace lumavine {

namespace {

constexpr int maximumGifSide = 65535;

QImage opaqueCopy(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    painter.end();
    return opaque;
}

// The picture's own colours when there are at most 256 of them: drawings of
// flat shapes keep their exact colours. Answers false as soon as a 257th
// colour turns up.
bool exactPalette(const QImage& image, GifWriter::Indexed& out)
{
    // Open addressing over a table four times the palette's size keeps the
    // probes short; the previous pixel's colour is checked first because
    // drawings are mostly long runs of one colour.
    constexpr size_t tableSize = 1024;
    std::array<uint32_t, tableSize> keys;
    std::array<int16_t, tableSize> tableIndex;
    tableIndex.fill(-1);
    out.palette.clear();
    out.pixels.resize(size_t(image.width()) * image.height());
    uint32_t previous = 0;
    int previousIndex = -1;
    size_t at = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            uint32_t color = row[x] & 0xFFFFFFu;
            if (previousIndex < 0 || color != previous) {
                size_t slot = (color * 2654435761u) >> 22;
                while (tableIndex[slot] >= 0 && keys[slot] != color)
                    slot = (slot + 1) & (tableSize - 1);
                if (tableIndex[slot] < 0) {
                    if (out.palette.size() == 256)
                        return false;
                    keys[slot] = color;
                    tableIndex[slot] = int16_t(out.palette.size());
                    out.palette.push_back(color);
                }
                previous = color;
                previousIndex = tableIndex[slot];
            }
            out.pixels[at++] = uint8_t(previousIndex);
        }
    }
    return true;
}

void cubePalette(const QImage& image, GifWriter::Indexed& out)
{
    constexpr int redLevels = 6;
    constexpr int greenLevels = 7;
    constexpr int blueLevels = 6;
    out.palette.clear();
    for (int r = 0; r < redLevels; ++r) {
        for (int g = 0; g < greenLevels; ++g) {
            for (int b = 0; b < blueLevels; ++b) {
                out.palette.push_back((uint32_t(r * 255 / (redLevels - 1)) << 16)
                    | (uint32_t(g * 255 / (greenLevels - 1)) << 8) | uint32_t(b * 255 / (blueLevels - 1)));
            }
        }
    }
    // Bayer thresholds spread the rounding error of each channel over a 4 x 4
    // tile, so gradients show as a fine pattern instead of bands.
    static constexpr int bayer[4][4] = { { 0, 8, 2, 10 }, { 12, 4, 14, 6 }, { 3, 11, 1, 9 }, { 15, 7, 13, 5 } };
    // The level below the value, or the one above when the remainder passes
    // the pixel's threshold ((threshold + 0.5) / 16 of a step).
    auto level = [](int value, int levels, int threshold) {
        int scaled = value * (levels - 1);
        int base = scaled / 255;
        int remainder = scaled % 255;
        return remainder * 32 > (2 * threshold + 1) * 255 ? std::min(base + 1, levels - 1) : base;
    };
    out.pixels.resize(size_t(image.width()) * image.height());
    size_t at = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            int threshold = bayer[y & 3][x & 3];
            int r = level(qRed(row[x]), redLevels, threshold);
            int g = level(qGreen(row[x]), greenLevels, threshold);
            int b = level(qBlue(row[x]), blueLevels, threshold);
            out.pixels[at++] = uint8_t((r * greenLevels + g) * blueLevels + b);
        }
    }
}

}

GifWriter::Indexed GifWriter::reduceColors(const QImage& image)
{
    Indexed out;
    QImage opaque = opaqueCopy(image);
    out.width = opaque.width();
    out.height = opaque.height();
    if (!exactPalette(opaque, out))
        cubePalette(opaque, out);
    return out;
}

bool GifWriter::encode(const QImage& image, std::string& bytes)
{
    bytes.clear();
    if (image.isNull() || image.width() > maximumGifSide || image.height() > maximumGifSide)
        return false;
    Indexed indexed = reduceColors(image);
    int bits = 1;
    while ((size_t(1) << bits) < indexed.palette.size())
        ++bits;
    std::vector<GifColorType> colors(size_t(1) << bits, GifColorType { 0, 0, 0 });
    for (size_t i = 0; i < indexed.palette.size(); ++i) {
        uint32_t c = indexed.palette[i];
        colors[i] = GifColorType { GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c) };
    }
    ColorMapObject* map = GifMakeMapObject(int(colors.size()), colors.data());
    if (!map)
        return false;
    int error = 0;
    auto append = [](GifFileType* file, const GifByteType* data, int length) {
        static_cast<std::string*>(file->UserData)->append(reinterpret_cast<const char*>(data), size_t(length));
        return length;
    };
    GifFileType* gif = EGifOpen(&bytes, append, &error);
    bool ok = gif && EGifPutScreenDesc(gif, indexed.width, indexed.height, bits, 0, map) == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, indexed.width, indexed.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height; ++y)
        ok = EGifPutLine(gif, indexed.pixels.data() + size_t(y) * indexed.width, indexed.width) == GIF_OK;
    // The screen description keeps its own copy of the colour map.
    GifFreeMapObject(map);
    if (gif && EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    return ok;
}

}
