#pragma once
// Little-endian packing of the document file's fields, shared by the
// section readers and writers of this folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace voq::docbytes {

inline void Put16(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u & 0xFF));
  out.push_back(static_cast<uint8_t>(u >> 8));
}

inline void Put32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>((u >> (8 * k)) & 0xFF));
}

inline int16_t Get16(const uint8_t* p) { return static_cast<int16_t>(uint16_t(p[0]) | uint16_t(p[1]) << 8); }

inline int32_t Get32(const uint8_t* p) {
  uint32_t u = 0;
  for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(p[k]) << (8 * k);
  return static_cast<int32_t>(u);
}

inline void Set16(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint16_t>(v);
  p[0] = static_cast<uint8_t>(u & 0xFF);
  p[1] = static_cast<uint8_t>(u >> 8);
}

inline void Set32(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>((u >> (8 * k)) & 0xFF);
}

// A string[n] field: length byte (cut at n) and n bytes, the rest zero.
inline void SetShortString(uint8_t* p, const std::string& s, size_t n) {
  const size_t len = s.size() < n ? s.size() : n;
  p[0] = static_cast<uint8_t>(len);
  for (size_t k = 0; k < n; ++k) p[1 + k] = k < len ? static_cast<uint8_t>(s[k]) : 0;
}

inline std::string GetShortString(const uint8_t* p, size_t n) {
  const size_t len = p[0] < n ? p[0] : n;
  return std::string(reinterpret_cast<const char*>(p + 1), len);
}

// Reads from data[pos..size); every take is checked before it is made.
struct Cursor {
  const uint8_t* data;
  size_t size;
  size_t pos;
  size_t Remaining() const { return pos <= size ? size - pos : 0; }
  bool Has(size_t n) const { return n <= Remaining(); }
  const uint8_t* Here() const { return data + pos; }
};

}  // namespace voq::docbytes
