// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Animated (.ani) and plain (.cur / .ico) cursor files, read from bytes.
namespace ani {

struct RawFrame {
    std::span<const std::uint8_t> bytes; // a complete .cur or .ico file
};

// The RIFF "ACON" structure without decoding the pictures.
struct RawAni {
    std::uint32_t frames = 0;
    std::uint32_t steps = 0;
    std::uint32_t jifRate = 0;                 // default display time of a step, 1/60 s
    std::vector<std::uint32_t> rates;          // per step, from "rate", empty if absent
    std::vector<std::uint32_t> sequence;       // frame index per step, from "seq ", empty if absent
    std::vector<RawFrame> icons;               // from LIST "fram"
};

// Parses the RIFF layout; nothing for bytes that are not a well-formed "ACON".
std::optional<RawAni> parseRiff(std::span<const std::uint8_t> bytes);

struct Frame {
    QImage image;
    QPoint hotSpot;
};

struct Cursor {
    std::vector<Frame> frames;     // the distinct pictures
    std::vector<int> steps;        // which frame each step shows
    std::vector<int> stepMs;       // how long each step shows
};

// The largest cursor file read at all; the game's own is a few kilobytes.
constexpr std::int64_t kMaxCursorFileBytes = 4 * 1024 * 1024;

// What the pictures of one cursor may hold in all, in pixels: sixteen frames of the largest
// size (256 x 256), or a thousand of the usual 32 x 32. The game's own takes a few thousand.
// A small file of many compressed frames would otherwise decode to gigabytes.
constexpr std::int64_t kCursorPixelBudget = 1024 * 1024;

// One frame from a .cur or .ico file (the first image of its directory); nothing when broken.
std::optional<Frame> decodeCursorImage(std::span<const std::uint8_t> bytes);

// A whole cursor: an .ani with every frame decoded and its steps checked, or a plain cursor
// file as a single step. Nothing when any part is broken, or when its pictures together
// exceed kCursorPixelBudget (decoding stops at the frame that goes over).
std::optional<Cursor> readCursor(std::span<const std::uint8_t> bytes);

} // namespace ani
