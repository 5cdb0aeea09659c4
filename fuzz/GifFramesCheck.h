// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Runs the frame cutter and the decoding of every frame on arbitrary bytes and checks what
// must hold whatever the input: the cut gives the file back, fields read where they lie,
// pictures of their image's size. Returns the first broken rule, nullopt when all hold.
// Shared by the fuzzer and by the test that replays its corpus.
std::optional<std::string> checkGifFrames(const std::uint8_t* data, std::size_t size);
