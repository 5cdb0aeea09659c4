// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/AniReader.h"

#include "base/LittleEndian.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace ani {

namespace {

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at)
{
    return le::u32(b.data() + at);
}

std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at)
{
    return le::u16(b.data() + at);
}

bool tagIs(std::span<const std::uint8_t> b, std::size_t at, const char* tag)
{
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

// Walks the chunks of [from, to): calls f(tag offset, body span); false on a chunk that
// runs past its parent.
template <typename F>
bool forEachChunk(std::span<const std::uint8_t> b, std::size_t from, std::size_t to, F f)
{
    std::size_t at = from;
    while (at + 8 <= to) {
        const std::uint32_t len = u32(b, at + 4);
        if (len > to - at - 8)
            return false;
        if (!f(at, b.subspan(at + 8, len)))
            return false;
        at += 8 + std::size_t(len) + (len & 1); // chunks are padded to even sizes
    }
    return true;
}

std::vector<std::uint32_t> dwords(std::span<const std::uint8_t> body)
{
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i + 4 <= body.size(); i += 4)
        out.push_back(u32(body, i));
    return out;
}

constexpr std::uint32_t kMaxFrames = 4096;

} // namespace

std::optional<RawAni> parseRiff(std::span<const std::uint8_t> b)
{
    if (b.size() < 12 || !tagIs(b, 0, "RIFF") || !tagIs(b, 8, "ACON"))
        return std::nullopt;
    const std::size_t end = std::min<std::size_t>(b.size(), std::size_t(u32(b, 4)) + 8);
    RawAni out;
    bool haveHeader = false;
    const bool ok = forEachChunk(b, 12, end, [&](std::size_t at, std::span<const std::uint8_t> body) {
        if (tagIs(b, at, "anih")) {
            if (body.size() < 36 || u32(body, 0) < 36)
                return false;
            out.frames = u32(body, 4);
            out.steps = u32(body, 8);
            out.jifRate = u32(body, 28);
            haveHeader = true;
        } else if (tagIs(b, at, "rate")) {
            out.rates = dwords(body);
        } else if (tagIs(b, at, "seq ")) {
            out.sequence = dwords(body);
        } else if (tagIs(b, at, "LIST") && body.size() >= 4 && std::memcmp(body.data(), "fram", 4) == 0) {
            const std::size_t base = static_cast<std::size_t>(body.data() - b.data());
            return forEachChunk(b, base + 4, base + body.size(), [&](std::size_t iat, std::span<const std::uint8_t> ib) {
                if (tagIs(b, iat, "icon") && out.icons.size() < kMaxFrames)
                    out.icons.push_back({ib});
                return true;
            });
        }
        return true;
    });
    if (!ok || !haveHeader || out.icons.empty() || out.frames == 0 || out.frames > kMaxFrames)
        return std::nullopt;
    return out;
}

std::optional<Frame> decodeCursorImage(std::span<const std::uint8_t> b)
{
    // ICONDIR: reserved 0, type 1 (icon) or 2 (cursor), count; then 16-byte entries.
    if (b.size() < 6 + 16 || u16(b, 0) != 0 || u16(b, 4) == 0)
        return std::nullopt;
    const std::uint16_t type = u16(b, 2);
    if (type != 1 && type != 2)
        return std::nullopt;
    const std::uint32_t size = u32(b, 6 + 8), offset = u32(b, 6 + 12);
    if (offset > b.size() || size > b.size() - offset || size < 40)
        return std::nullopt;
    Frame f;
    if (type == 2)
        f.hotSpot = QPoint(u16(b, 6 + 4), u16(b, 6 + 6));
    // Qt's icon reader takes icon directories; a cursor's differs only in its type field and in
    // what the entry's planes and bit-count fields mean, so the copy is handed over as an icon.
    QByteArray copy(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
    copy[2] = 1;
    copy[6 + 4] = 1;
    copy[6 + 5] = 0;
    copy[6 + 6] = 0;
    copy[6 + 7] = 0;
    f.image = QImage::fromData(copy, "ICO");
    if (f.image.isNull() || f.image.width() > 256 || f.image.height() > 256)
        return std::nullopt;
    f.hotSpot.setX(std::clamp(f.hotSpot.x(), 0, f.image.width() - 1));
    f.hotSpot.setY(std::clamp(f.hotSpot.y(), 0, f.image.height() - 1));
    return f;
}

std::optional<Cursor> readCursor(std::span<const std::uint8_t> b)
{
    Cursor c;
    const auto raw = parseRiff(b);
    if (!raw) {
        auto single = decodeCursorImage(b);
        if (!single)
            return std::nullopt;
        c.frames.push_back(std::move(*single));
        c.steps = {0};
        c.stepMs = {0};
        return c;
    }
    std::int64_t pixels = 0;
    for (const RawFrame& icon : raw->icons) {
        auto f = decodeCursorImage(icon.bytes);
        if (!f)
            return std::nullopt;
        pixels += std::int64_t(f->image.width()) * f->image.height();
        if (pixels > kCursorPixelBudget)
            return std::nullopt;
        c.frames.push_back(std::move(*f));
    }
    const std::size_t steps = raw->sequence.empty() ? c.frames.size() : raw->sequence.size();
    for (std::size_t i = 0; i < steps; ++i) {
        const std::uint32_t frame = raw->sequence.empty() ? std::uint32_t(i) : raw->sequence[i];
        if (frame >= c.frames.size())
            return std::nullopt;
        const std::uint32_t jiffies = i < raw->rates.size() ? raw->rates[i] : raw->jifRate;
        c.steps.push_back(static_cast<int>(frame));
        // A jiffy is 1/60 s; a step of 0 would spin the timer, so it shows at least one.
        c.stepMs.push_back(static_cast<int>(std::clamp<std::uint32_t>(jiffies, 1, 600) * 1000 / 60));
    }
    return c;
}

} // namespace ani
