#include "output/formatted_offsets.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "model/program_units.h"

namespace voq {

std::map<int32_t, std::pair<int16_t, int16_t>> FormattedOffsets;
std::map<std::pair<uint8_t, std::string>, std::pair<int32_t, int32_t>> FormattedHeaderOffsets;

namespace {

constexpr char kMark[4] = {'F', 'E', 'Q', 'O'};
constexpr char kHeaderMark[4] = {'F', 'E', 'Q', 'H'};
// A header record: line, name length, name (at most 255 bytes), x, y.
constexpr size_t kHeaderRecordMin = 10;
constexpr int32_t kMaxOffset = 32000;
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

void PackStatementOffsets(std::vector<uint8_t>& out);
bool UnpackStatementOffsets(const uint8_t* data, size_t size, size_t& pos);

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

std::pair<int32_t, int32_t> HeaderOffset(uint8_t line, const std::string& upperName) {
  const auto it = FormattedHeaderOffsets.find({line, upperName});
  return it != FormattedHeaderOffsets.end() ? it->second : std::pair<int32_t, int32_t>{0, 0};
}

void MoveHeaderLine(uint8_t line, const std::string& upperName, int32_t dx, int32_t dy) {
  if (upperName.empty() || upperName.size() > 255) return;
  const auto [x, y] = HeaderOffset(line, upperName);
  const int32_t nx = std::clamp(x + dx, -kMaxOffset, kMaxOffset);
  const int32_t ny = std::clamp(y + dy, -kMaxOffset, kMaxOffset);
  if (nx == 0 && ny == 0) {
    FormattedHeaderOffsets.erase({line, upperName});
  } else {
    FormattedHeaderOffsets[{line, upperName}] = {nx, ny};
  }
}

namespace {

void PackHeaderOffsets(std::vector<uint8_t>& out) {
  if (FormattedHeaderOffsets.empty()) return;
  out.insert(out.end(), kHeaderMark, kHeaderMark + 4);
  Put32(out, static_cast<int32_t>(FormattedHeaderOffsets.size()));
  for (const auto& [key, offset] : FormattedHeaderOffsets) {
    out.push_back(key.first);
    out.push_back(static_cast<uint8_t>(key.second.size()));
    out.insert(out.end(), key.second.begin(), key.second.end());
    Put32(out, offset.first);
    Put32(out, offset.second);
  }
}

bool UnpackHeaderOffsets(const uint8_t* data, size_t size, size_t& pos) {
  if (pos > size || size - pos < 8 || std::memcmp(data + pos, kHeaderMark, 4) != 0) return true;
  const int32_t n = Get32(data + pos + 4);
  if (n < 0 || n > kMaxRecords || static_cast<size_t>(n) > (size - pos - 8) / kHeaderRecordMin) return false;
  std::map<std::pair<uint8_t, std::string>, std::pair<int32_t, int32_t>> read;
  size_t at = pos + 8;
  for (int32_t k = 0; k < n; ++k) {
    if (size - at < kHeaderRecordMin) return false;
    const uint8_t line = data[at];
    const size_t length = data[at + 1];
    if (line < kRoutineHeaderLine || line > kUnitEndLine || length == 0 || size - at < kHeaderRecordMin + length)
      return false;
    std::string name(reinterpret_cast<const char*>(data + at + 2), length);
    const int32_t x = Get32(data + at + 2 + length);
    const int32_t y = Get32(data + at + 6 + length);
    if (std::abs(x) > kMaxOffset || std::abs(y) > kMaxOffset) return false;
    read[{line, std::move(name)}] = {x, y};
    at += kHeaderRecordMin + length;
  }
  FormattedHeaderOffsets = std::move(read);
  pos = at;
  return true;
}

}  // namespace

void PackFormattedOffsets(std::vector<uint8_t>& out) {
  PackStatementOffsets(out);
  PackHeaderOffsets(out);
}

bool UnpackFormattedOffsets(const uint8_t* data, size_t size, size_t& pos) {
  return UnpackStatementOffsets(data, size, pos) && UnpackHeaderOffsets(data, size, pos);
}

namespace {

void PackStatementOffsets(std::vector<uint8_t>& out) {
  if (FormattedOffsets.empty()) return;
  out.insert(out.end(), kMark, kMark + 4);
  Put32(out, static_cast<int32_t>(FormattedOffsets.size()));
  for (const auto& [position, offset] : FormattedOffsets) {
    Put32(out, position);
    Put16(out, offset.first);
    Put16(out, offset.second);
  }
}

bool UnpackStatementOffsets(const uint8_t* data, size_t size, size_t& pos) {
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

}  // namespace

void ResetFormattedOffsets() {
  FormattedOffsets.clear();
  FormattedHeaderOffsets.clear();
}

}  // namespace voq
