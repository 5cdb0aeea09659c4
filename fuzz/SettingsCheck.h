// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Decodes arbitrary bytes as a settings record and checks what must hold whatever the file
// holds: a record comes only from 22 bytes or more (a full one may still be refused), it
// encodes back to exactly the first 22 of them, and initials that pass the range check
// survive their own round trip. Returns the first broken rule, nullopt when all hold.
// Shared by the fuzzer and by the test that replays its corpus.
std::optional<std::string> checkSettingsRecord(const std::uint8_t* data, std::size_t size);
