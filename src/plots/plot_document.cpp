#include "plots/plot_document.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "plots/plot_list.h"
#include "plots/plots_state.h"

namespace voq {

namespace {

// The I/O error number of a read that runs past the end of its file, given
// as the argument of the "unexpected I/O error" message.
const char* const kReadPastEndError = "100";
constexpr size_t kRealSize = 10;

// --- Writing --------------------------------------------------------------------

void AppendBytes(std::vector<uint8_t>& out, const uint8_t* bytes, size_t n) {
  out.insert(out.end(), bytes, bytes + n);
}

void AppendInt16(std::vector<uint8_t>& out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u));
  out.push_back(static_cast<uint8_t>(u >> 8));
}

void AppendInt32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(u >> (8 * k)));
}

// Exactly n reals: the record's point count decides how many a reader takes,
// so an array that fell short is padded with zeros rather than shifting
// everything after it.
void AppendReals(std::vector<uint8_t>& out, const std::vector<Extended>& values, size_t n) {
  uint8_t bytes[kRealSize];
  for (size_t k = 0; k < n; ++k) {
    PackExtended(bytes, k < values.size() ? values[k] : Extended{0});
    AppendBytes(out, bytes, kRealSize);
  }
}

size_t PointCount(const TPlotLineRecord& curve) { return curve.NPoints > 0 ? size_t(curve.NPoints) : 0; }

void AppendCurveEntry(std::vector<uint8_t>& out, const TPlotLineRecord& curve, const std::vector<Extended>& x,
                      const std::vector<Extended>& y) {
  uint8_t record[kPlotLineRecordSize];
  PackPlotLineRecord(curve, record);
  AppendInt32(out, static_cast<int32_t>(kPlotLineRecordSize));
  AppendBytes(out, record, kPlotLineRecordSize);
  AppendReals(out, x, PointCount(curve));
  AppendReals(out, y, PointCount(curve));
}

// --- Reading --------------------------------------------------------------------

// The bytes of one entry, every read checked against the end.
class EntryReader {
 public:
  EntryReader(const uint8_t* data, size_t size, size_t& pos) : data_(data), size_(size), pos_(pos) {}

  size_t Remaining() const { return pos_ <= size_ ? size_ - pos_ : 0; }

  const uint8_t* Take(size_t n) {
    if (n > Remaining()) return nullptr;
    const uint8_t* at = data_ + pos_;
    pos_ += n;
    return at;
  }

  bool Int16(int16_t& v) {
    const uint8_t* b = Take(2);
    if (b == nullptr) return false;
    v = static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
    return true;
  }

  bool Int32(int32_t& v) {
    const uint8_t* b = Take(4);
    if (b == nullptr) return false;
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(b[k]) << (8 * k);
    v = static_cast<int32_t>(u);
    return true;
  }

  // n reals into values; false when fewer than n remain.
  bool Reals(size_t n, std::vector<Extended>& values) {
    if (n > Remaining() / kRealSize) return false;
    values.resize(n);
    for (size_t k = 0; k < n; ++k) values[k] = UnpackExtended(Take(kRealSize));
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t& pos_;
};

// The curves read so far, freed unless handed to a plot.
struct CurveChainGuard {
  TPlotLineRecord* First = nullptr;
  TPlotLineRecord* Last = nullptr;
  ~CurveChainGuard() { DisposeCurveChain(First); }
  void Append(TPlotLineRecord* curve) {
    if (Last == nullptr) {
      First = curve;
    } else {
      Last->Next = curve;
    }
    Last = curve;
  }
};

TPlotEntryResult Corrupt() {
  SetCalcError(kMsgUnexpectedIOError, kReadPastEndError);
  return TPlotEntryResult::Failed;
}

int32_t StoredSlot(const uint8_t* record, size_t offset) {
  uint32_t u = 0;
  for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(record[offset + k]) << (8 * k);
  return static_cast<int32_t>(u);
}

// One curve entry: the size word, the record and its two arrays. The record
// bytes are kept for the caller to test the error slots.
bool ReadCurveEntry(EntryReader& in, TPlotLineRecord& curve, const uint8_t*& record) {
  int32_t recordSize = 0;
  if (!in.Int32(recordSize) || recordSize != static_cast<int32_t>(kPlotLineRecordSize)) return false;
  record = in.Take(kPlotLineRecordSize);
  if (record == nullptr) return false;
  UnpackPlotLineRecord(record, curve);
  if (curve.NPoints < 0) return false;
  return in.Reals(PointCount(curve), curve.XValues) && in.Reals(PointCount(curve), curve.YValues);
}

}  // namespace

void WritePlotEntry(const TPlotRecord& plot, std::vector<uint8_t>& out) {
  int32_t entries = 0;
  for (const TPlotLineRecord* c = plot.Axes.FirstCurve; c != nullptr; c = c->Next) {
    entries += CurveErrorsFollow(*c) ? 2 : 1;
  }
  AppendInt16(out, static_cast<int16_t>(entries));
  if (entries == 0) return;
  for (const TPlotLineRecord* c = plot.Axes.FirstCurve; c != nullptr; c = c->Next) {
    AppendCurveEntry(out, *c, c->XValues, c->YValues);
    if (!CurveErrorsFollow(*c)) continue;
    // The uncertainties travel as a curve of their own that draws nothing.
    TPlotLineRecord copy = *c;  // its error slots announce the same arrays
    copy.Next = nullptr;
    copy.LineType = 0;
    copy.Symbol = 0;
    copy.CurveNumber = static_cast<int16_t>(-c->CurveNumber);
    AppendCurveEntry(out, copy, c->XErrors, c->YErrors);
  }

  AppendInt16(out, static_cast<int16_t>(plot.TextItems.size() + 1));
  uint8_t text[kPlotTextRecordSize];
  for (const auto& item : plot.TextItems) {
    PackPlotTextRecord(*item, text);
    AppendBytes(out, text, kPlotTextRecordSize);
  }
  TPlotTextRecord nameRecord;
  nameRecord.Text = plot.PlotName;
  nameRecord.LegendCurve = kPlotNameLegendCurve;
  nameRecord.ShowVarName = 0;
  nameRecord.ShowVarUnits = 0;
  PackPlotTextRecord(nameRecord, text);
  AppendBytes(out, text, kPlotTextRecordSize);

  AppendInt16(out, static_cast<int16_t>(plot.Objects.size()));
  uint8_t object[kGraphicObjectRecordSize];
  for (const auto& item : plot.Objects) {
    PackGraphicObjectRecord(*item, object);
    AppendBytes(out, object, kGraphicObjectRecordSize);
    if (item->ObjectKind == kPictureObjectKind) {
      AppendInt32(out, static_cast<int32_t>(item->Picture.size()));
      AppendBytes(out, item->Picture.data(), item->Picture.size());
    }
  }

  AppendInt32(out, static_cast<int32_t>(kPlotAxesRecordSize));
  uint8_t axes[kPlotAxesRecordSize];
  PackPlotAxesRecord(plot.Axes, axes);
  AppendBytes(out, axes, kPlotAxesRecordSize);
}

TPlotEntryResult ReadPlotEntry(const uint8_t* data, size_t size, size_t& pos, TPlotRecord** made) {
  if (made != nullptr) *made = nullptr;
  EntryReader in(data, size, pos);
  try {
    int16_t curveEntries = 0;
    if (!in.Int16(curveEntries) || curveEntries < 0) return Corrupt();
    if (curveEntries == 0) return TPlotEntryResult::NoCurves;

    CurveChainGuard chain;
    for (int32_t k = 0; k < curveEntries; ++k) {
      auto curve = std::make_unique<TPlotLineRecord>();
      const uint8_t* record = nullptr;
      if (!ReadCurveEntry(in, *curve, record)) return Corrupt();
      const bool xFollows = StoredSlot(record, plot_line_offsets::XErrors) != 0;
      const bool yFollows = StoredSlot(record, plot_line_offsets::YErrors) != 0;
      if (curve->TableKind == 1 && (xFollows || yFollows)) {
        // The next entry holds this curve's uncertainties.
        if (++k >= curveEntries) return Corrupt();
        TPlotLineRecord errors;
        const uint8_t* errorRecord = nullptr;
        if (!ReadCurveEntry(in, errors, errorRecord) || errors.NPoints != curve->NPoints) return Corrupt();
        if (xFollows) curve->XErrors = std::move(errors.XValues);
        if (yFollows) curve->YErrors = std::move(errors.YValues);
      }
      chain.Append(curve.release());
    }

    int16_t textCount = 0;
    if (!in.Int16(textCount) || textCount < 0) return Corrupt();
    if (size_t(textCount) > in.Remaining() / kPlotTextRecordSize) return Corrupt();
    std::vector<std::unique_ptr<TPlotTextRecord>> texts;
    std::string plotName;
    bool named = false;
    for (int32_t k = 0; k < textCount; ++k) {
      auto item = std::make_unique<TPlotTextRecord>();
      UnpackPlotTextRecord(in.Take(kPlotTextRecordSize), *item);
      if (item->LegendCurve == kPlotNameLegendCurve) {
        plotName = item->Text;
        named = true;
      } else {
        texts.push_back(std::move(item));
      }
    }

    int16_t objectCount = 0;
    if (!in.Int16(objectCount) || objectCount < 0) return Corrupt();
    std::vector<std::unique_ptr<TGraphicObjectRecord>> objects;
    for (int32_t k = 0; k < objectCount; ++k) {
      const uint8_t* record = in.Take(kGraphicObjectRecordSize);
      if (record == nullptr) return Corrupt();
      auto object = std::make_unique<TGraphicObjectRecord>();
      UnpackGraphicObjectRecord(record, *object);
      if (object->ObjectKind == kPictureObjectKind) {
        int32_t streamSize = 0;
        if (!in.Int32(streamSize) || streamSize < 0 || size_t(streamSize) > in.Remaining()) return Corrupt();
        const uint8_t* stream = in.Take(size_t(streamSize));
        object->Picture.assign(stream, stream + streamSize);
      }
      objects.push_back(std::move(object));
    }

    int32_t axesSize = 0;
    if (!in.Int32(axesSize) || axesSize != static_cast<int32_t>(kPlotAxesRecordSize)) return Corrupt();
    const uint8_t* axes = in.Take(kPlotAxesRecordSize);
    if (axes == nullptr) return Corrupt();

    TPlotRecord* plot = CreateMPRPtr();
    if (plot == nullptr) {
      SetCalcError(kMsgOperationOutOfMemory);
      return TPlotEntryResult::Failed;
    }
    UnpackPlotAxesRecord(axes, plot->Axes);
    plot->Axes.FirstCurve = chain.First;
    chain.First = nullptr;
    const TSmallRect& frame = plot->Axes.FrameRect;
    plot->FrameLeft = frame.Left;
    plot->FrameTop = frame.Top;
    plot->FrameRight = frame.Right;
    plot->FrameBottom = frame.Bottom;
    plot->TextItems = std::move(texts);
    plot->Objects = std::move(objects);
    if (named) plot->PlotName = plotName;
    if (made != nullptr) *made = plot;
    return TPlotEntryResult::Read;
  } catch (const std::bad_alloc&) {
    SetCalcError(kMsgOperationOutOfMemory);
    return TPlotEntryResult::Failed;
  }
}

}  // namespace voq
