#include "properties/janaf.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/text_utils.h"

namespace voq {

namespace {

constexpr double kPresetResult = -999.0;
constexpr int32_t kNameBytes = 21;
constexpr size_t kTextLimit = 255;

void PutDouble(uint8_t* dst, double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) dst[i] = static_cast<uint8_t>(bits >> (8 * i));
}

double GetDouble(const uint8_t* src) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(src[i]) << (8 * i);
  double v = 0;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

TJanafRecord UnpackJanafRecord(const uint8_t* src) {
  TJanafRecord r;
  const size_t length = std::min<size_t>(src[0], kNameBytes - 1);
  r.Name.assign(reinterpret_cast<const char*>(src + 1), length);
  r.Tmin = GetDouble(src + 21);
  r.Tmax = GetDouble(src + 29);
  for (int i = 0; i < 7; ++i) r.High[i] = GetDouble(src + 37 + 8 * i);
  for (int i = 0; i < 7; ++i) r.Low[i] = GetDouble(src + 93 + 8 * i);
  return r;
}

// A bound as a whole number right-aligned in at least 4 characters.
std::string Bound(double t) {
  char text[64];
  std::snprintf(text, sizeof text, "%4.0f", t);
  return text;
}

void SetText(char* text, const std::string& value) {
  const size_t n = std::min(value.size(), kTextLimit);
  std::memcpy(text, value.data(), n);
  text[n] = '\0';
}

}  // namespace

int32_t CountParamNodes(const TParamNodeRecord* list) {
  int32_t n = 0;
  for (; list != nullptr; list = list->Next) ++n;
  return n;
}

void EvaluateJanafRecord(const TJanafRecord& record, double t, double& cp, double& h, double& s) {
  const double* a = t >= 1000.0 ? record.High : record.Low;
  const double r = kJanafGasConstant;
  // cp/R = a1 + a2 T + a3 T^2 + a4 T^3 + a5 T^4
  // h/(RT) = a1 + a2 T/2 + a3 T^2/3 + a4 T^3/4 + a5 T^4/5 + a6/T
  // s/R = a1 ln T + a2 T + a3 T^2/2 + a4 T^3/3 + a5 T^4/4 + a7
  const double t2 = t * t;
  const double t3 = t2 * t;
  const double t4 = t3 * t;
  cp = r * (a[0] + a[1] * t + a[2] * t2 + a[3] * t3 + a[4] * t4);
  h = r * t * (a[0] + a[1] * t / 2 + a[2] * t2 / 3 + a[3] * t3 / 4 + a[4] * t4 / 5 + a[5] / t);
  s = r * (a[0] * std::log(t) + a[1] * t + a[2] * t2 / 2 + a[3] * t3 / 3 + a[4] * t4 / 4 + a[6]);
}

std::string JanafLookup(const std::string& substance, double& cp, double& h, double& s, double t) {
  const std::string unreadable = "JANAF.DLP was not found or unreadable. ";
  std::ifstream file("JANAF.DLP", std::ios::binary);
  if (!file) return unreadable;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < 4) return unreadable;
  uint8_t word[4];
  file.seekg(size - 4);
  if (!file.read(reinterpret_cast<char*>(word), 4)) return unreadable;
  const int32_t offset = static_cast<int32_t>(static_cast<uint32_t>(word[0]) | static_cast<uint32_t>(word[1]) << 8 |
                                              static_cast<uint32_t>(word[2]) << 16 |
                                              static_cast<uint32_t>(word[3]) << 24);
  if (offset < 0 || offset > size - 4) return unreadable;
  file.seekg(offset);
  if (!file) return unreadable;

  const std::string wanted = UpperCaseText(substance);
  std::string message;
  uint8_t bytes[kJanafRecordSize];
  // The records end where the offset word begins; a short last read is
  // not a record.
  for (std::streamoff at = offset; at + kJanafRecordSize <= size - 4; at += kJanafRecordSize) {
    if (!file.read(reinterpret_cast<char*>(bytes), kJanafRecordSize)) {
      message = "Error while reading JANAF.DAT";
      file.clear();
      file.seekg(at + kJanafRecordSize);
      continue;
    }
    const TJanafRecord record = UnpackJanafRecord(bytes);
    if (bytes[0] >= kNameBytes || record.Name != wanted) continue;
    if (t < record.Tmin || t > record.Tmax) {
      return "The data for " + record.Name + " are valid for temperatures between " + Bound(record.Tmin) +
             " and " + Bound(record.Tmax) + " K";
    }
    EvaluateJanafRecord(record, t, cp, h, s);
    return std::string();
  }
  return wanted + " was not found in the database.";
}

void CallJanaf(char* text, int32_t mode, const TParamNodeRecord* inputs, TParamNodeRecord* outputs) {
  if (mode == -1) {
    SetText(text, "CALL JANAF('Substance',T:CP,H,S)");
    return;
  }
  if (CountParamNodes(inputs) != 1) {
    SetText(text, "Wrong number of inputs for JANAF.");
    return;
  }
  if (CountParamNodes(outputs) != 3) {
    SetText(text, "Wrong number of outputs for JANAF.");
    return;
  }
  std::string substance(text, strnlen(text, kTextLimit));
  text[0] = '\0';
  double cp = kPresetResult;
  double h = kPresetResult;
  double s = kPresetResult;
  const std::string message = JanafLookup(substance, cp, h, s, inputs->Value);
  SetText(text, message);
  outputs->Value = cp;
  outputs->Next->Value = h;
  outputs->Next->Next->Value = s;
}

void PackJanafRecord(const TJanafRecord& record, uint8_t* dst) {
  std::memset(dst, 0, kJanafRecordSize);
  const std::string name = UpperCaseText(record.Name).substr(0, kNameBytes - 1);
  dst[0] = static_cast<uint8_t>(name.size());
  std::memcpy(dst + 1, name.data(), name.size());
  PutDouble(dst + 21, record.Tmin);
  PutDouble(dst + 29, record.Tmax);
  for (int i = 0; i < 7; ++i) PutDouble(dst + 37 + 8 * i, record.High[i]);
  for (int i = 0; i < 7; ++i) PutDouble(dst + 93 + 8 * i, record.Low[i]);
}

std::vector<uint8_t> BuildJanafFile(const std::vector<uint8_t>& prefix, const std::vector<TJanafRecord>& records) {
  std::vector<uint8_t> out = prefix;
  const uint32_t offset = static_cast<uint32_t>(out.size());
  for (const TJanafRecord& r : records) {
    uint8_t bytes[kJanafRecordSize];
    PackJanafRecord(r, bytes);
    out.insert(out.end(), bytes, bytes + kJanafRecordSize);
  }
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(offset >> (8 * i)));
  return out;
}

bool ParseJanafText(const std::string& text, std::vector<TJanafRecord>& records, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  std::vector<std::string> words;
  while (std::getline(lines, line)) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream in(line);
    std::string w;
    while (in >> w) words.push_back(w);
  }
  constexpr size_t kWordsPerSpecies = 17;
  if (words.size() % kWordsPerSpecies != 0) {
    error = "each species needs a name, two bounds and 14 coefficients";
    return false;
  }
  for (size_t i = 0; i < words.size(); i += kWordsPerSpecies) {
    TJanafRecord r;
    r.Name = UpperCaseText(words[i]);
    try {
      r.Tmin = std::stod(words[i + 1]);
      r.Tmax = std::stod(words[i + 2]);
      for (int k = 0; k < 7; ++k) r.Low[k] = std::stod(words[i + 3 + k]);
      for (int k = 0; k < 7; ++k) r.High[k] = std::stod(words[i + 10 + k]);
    } catch (const std::exception&) {
      error = "a number of " + words[i] + " cannot be read";
      return false;
    }
    if (r.Name.size() > 20) {
      error = words[i] + " is longer than 20 characters";
      return false;
    }
    records.push_back(r);
  }
  return true;
}

}  // namespace voq
