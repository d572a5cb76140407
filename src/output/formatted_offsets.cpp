#include "output/formatted_offsets.h"

#include <cstring>

#include "model/program_units.h"

namespace voq {

std::map<int32_t, std::pair<int16_t, int16_t>> FormattedOffsets;

namespace {

constexpr char kMark[4] = {'F', 'E', 'Q', 'O'};
constexpr size_t kRecordSize = 8;
// More moved statements than a text of 64 K characters can hold are not
// believed.
constexpr int32_t kMaxRecords = 65536;

void Put16(std::vector<uint8_t>& out, int32_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>((u >> shift) & 0xFF));
}
int16_t Get16(const uint8_t* p) { return static_cast<int16_t>(uint16_t(p[0]) | uint16_t(p[1]) << 8); }
int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

}  // namespace

void TakeFormattedOffset(TEquationRecord& e) {
  if (e.TextStart <= 0) return;
  const auto it = FormattedOffsets.find(e.TextStart);
  if (it == FormattedOffsets.end()) return;
  e.OffsetX = it->second.first;
  e.OffsetY = it->second.second;
}

void KeepFormattedOffset(const TEquationRecord& e) {
  if (e.TextStart <= 0) return;
  if (e.OffsetX == 0 && e.OffsetY == 0) {
    FormattedOffsets.erase(e.TextStart);
  } else {
    FormattedOffsets[e.TextStart] = {e.OffsetX, e.OffsetY};
  }
}

void PackFormattedOffsets(std::vector<uint8_t>& out) {
  if (FormattedOffsets.empty()) return;
  out.insert(out.end(), kMark, kMark + 4);
  Put32(out, static_cast<int32_t>(FormattedOffsets.size()));
  for (const auto& [position, offset] : FormattedOffsets) {
    Put32(out, position);
    Put16(out, offset.first);
    Put16(out, offset.second);
  }
}

bool UnpackFormattedOffsets(const uint8_t* data, size_t size, size_t& pos) {
  if (pos > size || size - pos < 8 || std::memcmp(data + pos, kMark, 4) != 0) return true;
  const int32_t n = Get32(data + pos + 4);
  if (n < 0 || n > kMaxRecords || static_cast<size_t>(n) > (size - pos - 8) / kRecordSize) return false;
  std::map<int32_t, std::pair<int16_t, int16_t>> read;
  const uint8_t* p = data + pos + 8;
  for (int32_t k = 0; k < n; ++k, p += kRecordSize) {
    const int32_t position = Get32(p);
    if (position <= 0) return false;
    read[position] = {Get16(p + 4), Get16(p + 6)};
  }
  FormattedOffsets = std::move(read);
  pos += 8 + static_cast<size_t>(n) * kRecordSize;
  return true;
}

void ResetFormattedOffsets() { FormattedOffsets.clear(); }

}  // namespace voq
