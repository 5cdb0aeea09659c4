// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small GIF files built block by block for the animated-picture tests.

#include <QByteArray>
#include <QRgb>
#include <cstdint>
#include <vector>

namespace gifs {

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

inline QByteArray le16(int v)
{
    return bytes({v & 0xFF, (v >> 8) & 0xFF});
}

// The four colours of every test file; the last one ends the colour table with 0xFF.
constexpr QRgb kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

// "GIF89a", logical screen descriptor, global colour table.
inline QByteArray header(int width, int height, const std::vector<QRgb>& colours = {kBlack, kRed, kGreen, kBlue})
{
    int bits = 1;
    while ((1 << bits) < static_cast<int>(colours.size()))
        ++bits;
    QByteArray out("GIF89a");
    out += le16(width) + le16(height);
    out += bytes({0x80 | ((bits - 1) << 4) | (bits - 1), // global table, colour resolution, size
                  0,                                     // background colour index
                  0});                                   // pixel aspect ratio
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < static_cast<int>(colours.size()) ? colours[static_cast<std::size_t>(i)] : 0;
        out += bytes({qRed(c), qGreen(c), qBlue(c)});
    }
    return out;
}

// Application extension "NETSCAPE2.0", loop for ever; ends with a 0x00 terminator, so the
// marker of the first frame follows it.
inline QByteArray netscapeLoop()
{
    return bytes({0x21, 0xFF, 0x0B}) + QByteArray("NETSCAPE2.0") + bytes({0x03, 0x01, 0x00, 0x00, 0x00});
}

inline QByteArray comment(const QByteArray& text)
{
    return bytes({0x21, 0xFE, static_cast<int>(text.size())}) + text + bytes({0x00});
}

// Graphic control extension: delay in hundredths, an optional transparent colour index.
inline QByteArray gce(int delay, int transparentIndex = -1)
{
    return bytes({0x21, 0xF9, 0x04,
                  transparentIndex >= 0 ? 0x01 : 0x00}) // packed: disposal 0, transparency flag
           + le16(delay) + bytes({transparentIndex >= 0 ? transparentIndex : 0, 0x00});
}

inline QByteArray imageDescriptor(int left, int top, int width, int height)
{
    return bytes({0x2C}) + le16(left) + le16(top) + le16(width) + le16(height) + bytes({0x00});
}

// LZW image data: minimum code size, sub-blocks, terminator. Only literal codes, with a
// clear code often enough that the code size never grows.
inline QByteArray imageData(const std::vector<std::uint8_t>& indices, int minCodeSize = 2)
{
    const int clear = 1 << minCodeSize;
    const int codeSize = minCodeSize + 1;
    std::vector<std::uint8_t> packed;
    std::uint32_t acc = 0;
    int nbits = 0;
    auto put = [&](int code) {
        acc |= static_cast<std::uint32_t>(code) << nbits;
        nbits += codeSize;
        while (nbits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
            acc >>= 8;
            nbits -= 8;
        }
    };
    int sinceClear = clear; // forces a clear code first
    for (std::uint8_t index : indices) {
        if (sinceClear >= clear - 2) {
            put(clear);
            sinceClear = 0;
        }
        put(index);
        ++sinceClear;
    }
    put(clear + 1); // end of information
    if (nbits > 0)
        packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));

    QByteArray out = bytes({minCodeSize});
    for (std::size_t i = 0; i < packed.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - i);
        out.append(static_cast<char>(n));
        out.append(reinterpret_cast<const char*>(packed.data() + i), static_cast<qsizetype>(n));
    }
    out.append('\0');
    return out;
}

struct Frame {
    int left = 0, top = 0, width = 1, height = 1;
    int delay = 10;
    int transparent = -1;
    std::vector<std::uint8_t> pixels; // width * height colour indices; colour 1 when empty
};

// Graphic control extension, image descriptor and image data of one frame.
inline QByteArray frameBlocks(const Frame& f)
{
    std::vector<std::uint8_t> px = f.pixels;
    if (px.empty())
        px.assign(static_cast<std::size_t>(f.width * f.height), 1);
    return gce(f.delay, f.transparent) + imageDescriptor(f.left, f.top, f.width, f.height) + imageData(px);
}

// An ordinary animated GIF: header, loop extension, the frames, trailer.
inline QByteArray animated(int width, int height, const std::vector<Frame>& frames)
{
    QByteArray out = header(width, height) + netscapeLoop();
    for (const Frame& f : frames)
        out += frameBlocks(f);
    out += bytes({0x3B});
    return out;
}

// n frames of 2 x 2 pixels, frame k at offset (k, k) with delay 10 * k.
inline QByteArray animatedN(int n)
{
    std::vector<Frame> frames;
    for (int k = 0; k < n; ++k)
        frames.push_back({k, k, 2, 2, 10 * k, -1, {}});
    return animated(n + 2, n + 2, frames);
}

} // namespace gifs
