// SHA-256 (FIPS 180-4), for keys that must stay unique whatever characters
// they hold and however long they are.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mirdane {

// The digest of `bytes`.
std::array<std::uint8_t, 32> Sha256(std::string_view bytes);

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace mirdane
