#include "documents/diagram_section.h"

#include <new>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "documents/document_bytes.h"
#include "documents/documents_state.h"

namespace voq {

using namespace docbytes;

namespace {

// Nested groups deeper than this are taken as a damaged file rather than
// followed (each level costs a frame of the reader).
constexpr int kMaxGroupDepth = 64;
constexpr int32_t kPictureFollows = 16;
constexpr size_t kObjectSize = 115;
constexpr size_t kObjectGroupField = 103;

namespace entry {
constexpr size_t Kind = 0;
constexpr size_t Variable = 1;
constexpr size_t Rect = 19;
constexpr size_t Window = 61;
constexpr size_t Hidden = 67;
constexpr size_t TextLength = 73;
}  // namespace entry

bool Damaged() {
  SetCalcError(kMsgUnexpectedIOError, "100");
  return false;
}

bool SkipPictureBlock(Cursor& in) {
  if (!in.Has(4)) return false;
  const int32_t marker = Get32(in.Here());
  in.pos += 4;
  if (marker == 0) return true;
  if (marker != kPictureFollows || !in.Has(12)) return false;
  const int32_t s = Get32(in.Here() + 8);
  in.pos += 12;
  if (s < 0 || !in.Has(size_t(s))) return false;
  in.pos += size_t(s);
  return true;
}

// One entry: the head, its text and, for a hot-area picture, the picture.
bool SkipEntry(Cursor& in, std::vector<size_t>* itemOffsets) {
  if (!in.Has(kDiagramEntryHeadSize)) return false;
  const uint8_t* head = in.Here();
  const int32_t textLength = Get16(head + entry::TextLength);
  const int32_t window = Get16(head + entry::Window);
  if (textLength < 0) return false;
  if (itemOffsets != nullptr && (head[entry::Kind] == 1 || head[entry::Kind] == 2) && window >= 0)
    itemOffsets->push_back(in.pos);
  in.pos += kDiagramEntryHeadSize;
  if (!in.Has(size_t(textLength) + 1)) return false;
  in.pos += size_t(textLength) + 1;
  return window != -2 || SkipPictureBlock(in);
}

// The entries after the picture block; offsets of input and output items
// are collected relative to the data.
bool SkipEntries(Cursor& in, std::vector<size_t>* itemOffsets) {
  if (!in.Has(2)) return false;
  const int32_t e = Get16(in.Here());
  in.pos += 2;
  if (e < 0 || size_t(e) > in.Remaining() / (kDiagramEntryHeadSize + 1)) return false;
  for (int32_t k = 0; k < e; ++k) {
    if (!SkipEntry(in, itemOffsets)) return false;
  }
  return true;
}

bool SkipObjectList(Cursor& in, int depth) {
  if (depth > kMaxGroupDepth || !in.Has(2)) return false;
  const int32_t g = Get16(in.Here());
  in.pos += 2;
  if (g < 0 || size_t(g) > in.Remaining() / (kDiagramEntryHeadSize + 1)) return false;
  bool entriesFollow = false;
  for (int32_t k = 0; k < g; ++k) {
    if (entriesFollow) {
      if (!SkipEntry(in, nullptr)) return false;
      continue;
    }
    if (!in.Has(kObjectSize)) return false;
    const uint8_t* object = in.Here();
    in.pos += kObjectSize;
    if (Get32(object + kObjectGroupField) != 0 && !SkipObjectList(in, depth + 1)) return false;
    const uint8_t kind = object[0];
    if (kind == 3 || kind == 5) {
      if (!in.Has(4)) return false;
      const int32_t s = Get32(in.Here());
      in.pos += 4;
      if (s < 0 || !in.Has(size_t(s))) return false;
      in.pos += size_t(s);
    }
    if (kind == 4) entriesFollow = true;
  }
  return true;
}

// Copies data[start..pos) into target; false when memory runs out.
bool Keep(const uint8_t* data, size_t start, size_t end, std::vector<uint8_t>& target) {
  try {
    target.assign(data + start, data + end);
  } catch (const std::bad_alloc&) {
    SetCalcError(kMsgUnexpectedIOError, "777");
    return false;
  }
  return true;
}

// The Calculate button's entry of a reset diagram; the other fixed buttons
// are copies of it. A reset hides the fixed buttons and puts the main tool
// bar, hidden, at (15, 15). Button sizes: 75 by 25.
struct TButtonHead {
  uint8_t Bytes[kDiagramEntryHeadSize] = {};
};

TButtonHead CalculateHead() {
  TButtonHead h;
  h.Bytes[entry::Kind] = 3;
  Set16(h.Bytes + 27, 15);  // the tool bar's left and top
  Set16(h.Bytes + 29, 15);
  return h;
}

void AppendButton(std::vector<uint8_t>& out, TButtonHead head, uint8_t kind, int32_t left, int32_t top,
                  const std::string& text) {
  head.Bytes[entry::Kind] = kind;
  Set16(head.Bytes + entry::Rect, left);
  Set16(head.Bytes + entry::Rect + 2, top);
  Set16(head.Bytes + entry::Rect + 4, left + 75);
  Set16(head.Bytes + entry::Rect + 6, top + 25);
  head.Bytes[entry::Hidden] = 1;
  Set16(head.Bytes + entry::TextLength, int32_t(text.size()));
  out.insert(out.end(), head.Bytes, head.Bytes + kDiagramEntryHeadSize);
  out.push_back(uint8_t(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

std::vector<uint8_t> ResetDiagramEntrySection() {
  std::vector<uint8_t> out;
  Put32(out, 0);  // no background picture
  Put16(out, 4);
  const TButtonHead calculate = CalculateHead();
  AppendButton(out, calculate, 3, 140, 80, "Calculate");
  AppendButton(out, calculate, 5, 60, 120, "Save");
  AppendButton(out, calculate, 8, 140, 120, "Load");
  // Caption, the separator 01h and the window's help reference (none).
  AppendButton(out, calculate, 6, 60, 80, std::string("Help") + char(1));
  return out;
}

void WriteDiagramEntrySection(std::vector<uint8_t>& out, const std::vector<int16_t>* newNumbers) {
  const size_t start = out.size();
  if (DiagramEntrySection.empty()) {
    const std::vector<uint8_t> reset = ResetDiagramEntrySection();
    out.insert(out.end(), reset.begin(), reset.end());
    return;
  }
  out.insert(out.end(), DiagramEntrySection.begin(), DiagramEntrySection.end());
  if (newNumbers == nullptr) return;
  Cursor in{DiagramEntrySection.data(), DiagramEntrySection.size(), 0};
  std::vector<size_t> items;
  if (!SkipPictureBlock(in) || !SkipEntries(in, &items)) return;
  for (size_t offset : items) {
    uint8_t* head = out.data() + start + offset;
    const int32_t number = Get16(head + entry::Variable);
    const int16_t renumbered =
        number >= 1 && size_t(number) < newNumbers->size() ? (*newNumbers)[size_t(number)] : int16_t(0);
    if (renumbered > 0) {
      Set16(head + entry::Variable, renumbered);
    } else {
      head[entry::Kind] = 0;  // shows no variable any more: a text item
    }
  }
}

bool ReadDiagramEntrySection(const uint8_t* data, size_t size, size_t& pos) {
  Cursor in{data, size, pos};
  if (!SkipPictureBlock(in) || !SkipEntries(in, nullptr)) return Damaged();
  if (!Keep(data, pos, in.pos, DiagramEntrySection)) return false;
  pos = in.pos;
  return true;
}

void WriteDiagramObjectSection(std::vector<uint8_t>& out) {
  if (DiagramObjectSection.empty()) {
    Put16(out, 0);
    return;
  }
  out.insert(out.end(), DiagramObjectSection.begin(), DiagramObjectSection.end());
}

bool ReadDiagramObjectSection(const uint8_t* data, size_t size, size_t& pos) {
  Cursor in{data, size, pos};
  if (!SkipObjectList(in, 0)) return Damaged();
  if (!Keep(data, pos, in.pos, DiagramObjectSection)) return false;
  pos = in.pos;
  return true;
}

std::vector<int32_t> DiagramItemVariables() {
  std::vector<int32_t> numbers;
  if (DiagramEntrySection.empty()) return numbers;
  Cursor in{DiagramEntrySection.data(), DiagramEntrySection.size(), 0};
  std::vector<size_t> items;
  if (!SkipPictureBlock(in) || !SkipEntries(in, &items)) return numbers;
  for (size_t offset : items) numbers.push_back(Get16(DiagramEntrySection.data() + offset + entry::Variable));
  return numbers;
}

}  // namespace voq
