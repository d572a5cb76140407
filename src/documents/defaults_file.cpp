#include "documents/defaults_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "documents/default_var_info.h"
#include "language/statement_preparation.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/platform.h"
#include "session/engine.h"
#include "session/program_start.h"
#include "units/unit_table.h"

namespace voq {

namespace {

constexpr size_t kOldSettingsBytes = 15;
constexpr size_t kMaxTextBlock = 255;

void PutInt16(std::vector<uint8_t>& out, int16_t v) {
  auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u));
  out.push_back(static_cast<uint8_t>(u >> 8));
}

void SetInt16(uint8_t* dst, int16_t v) {
  auto u = static_cast<uint16_t>(v);
  dst[0] = static_cast<uint8_t>(u);
  dst[1] = static_cast<uint8_t>(u >> 8);
}

int16_t GetInt16(const uint8_t* src) {
  return static_cast<int16_t>(static_cast<uint16_t>(src[0] | (src[1] << 8)));
}

template <size_t N>
void Append(std::vector<uint8_t>& out, const std::array<uint8_t, N>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// Reads the block front to back; every read checks the length first.
class BlockReader {
 public:
  explicit BlockReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Take(size_t n, const uint8_t*& at) {
    if (bytes_.size() - pos_ < n) return false;
    at = bytes_.data() + pos_;
    pos_ += n;
    return true;
  }
  template <size_t N>
  bool Take(std::array<uint8_t, N>& dst) {
    const uint8_t* at = nullptr;
    if (!Take(N, at)) return false;
    std::copy(at, at + N, dst.begin());
    return true;
  }
  bool Byte(uint8_t& v) {
    const uint8_t* at = nullptr;
    if (!Take(1, at)) return false;
    v = *at;
    return true;
  }
  // A stored length is not trusted: a negative one reads as empty, a longer
  // one than 255 as its first 255 bytes (with a beep), and the rest is
  // skipped so the fields after it stay in place.
  bool Text(std::string& text) {
    const uint8_t* at = nullptr;
    if (!Take(2, at)) return false;
    int16_t length = GetInt16(at);
    size_t n = length < 0 ? 0 : static_cast<size_t>(length);
    if (!Take(n, at)) return false;
    if (n > kMaxTextBlock) {
      ThrottledBeep();
      n = kMaxTextBlock;
    }
    text.assign(reinterpret_cast<const char*>(at), n);
    return true;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
};

// Values older layouts did not have, derived from the bytes they did have.
void ApplyOldLayoutPreferenceRules(TPreferencesRecord& p, uint8_t version) {
  p.CommentColor1 = 1;
  p.CommentColor2 = 2;
  if (version < 6) {
    static constexpr int16_t kComments[4][4] = {{0, 0, 0, 0}, {1, 2, 0, 0}, {1, 2, 1, 1}, {1, 2, 2, 2}};
    const int16_t* c = kComments[std::min<uint8_t>(p.EquationsInBlue, 3)];
    p.CommentColor1 = c[0];
    p.CommentColor2 = c[1];
    p.CommentStyle1 = c[2];
    p.CommentStyle2 = c[3];
    p.PrintEnteredTableStyle = 0;
    p.PrintCalculatedTableStyle = 2;
    bool printed = p.Reserved4 == 1 || p.Reserved4 == 2;
    p.PrintCommentStyle1 = printed ? 2 : 0;
    p.PrintCommentStyle2 = printed ? 1 : 0;
    p.EnteredTableColor = 0;
    p.EnteredTableStyle = 0;
    static constexpr int16_t kCalculated[4][2] = {{0, 0}, {0, 1}, {1, 1}, {0, 2}};
    const int16_t* t = kCalculated[std::min<uint8_t>(p.Reserved0, 3)];
    p.CalculatedTableColor = t[0];
    p.CalculatedTableStyle = t[1];
  }
  if (version < 10) p.AutosaveMinutes = 10;
  if (version < 11) p.CheckUnitsAutomatically = 1;
  if (version < 12) p.ShowLocalVariables = 1;
}

}  // namespace

void SetPreferenceDefaults() {
  TPreferencesRecord& p = StoredPreferences;
  p.PlotWidth = 300;
  p.PlotHeight = 200;
  p.PlotLeft = 90;
  p.PlotTop = 30;
  p.PlotTextColor = {0, 0, 0, 0};
  p.PlotTextStyle = {0, 0, 0, 0};
  p.PlotTextFont = {0, 0, 0, 0};
  p.PlotTextSize = {10, 10, 10, 10};
  p.PlotBorderThick = 0;
  p.PlotFrameColor = 0;
  p.PlotGridLines = -1;
  p.PlotGridColor = 9;
  p.PlotMajorTickSize = 5;
  p.PlotMinorTickSize = 3;
  p.PrintInColor = 0;
  p.SpeedBarHidden = 0;
  p.ComplexMode = 0;
  p.ImaginaryJ = 0;
  p.PlotCopyInColor = 0;
  p.Reserved151 = 0;
  p.Reserved153 = 0;
  p.PlotCopyFormat = 2;
  p.CheckUnitsAutomatically = 1;
  p.ClipboardResolution = 0;
  p.AutosaveMinutes = 0;
  p.TabWidth = 0;
  p.Reserved166 = {};
  // The six reals at 184 are the first 60 of the 70 reserved bytes.
  std::fill(p.Reserved184.begin(), p.Reserved184.begin() + 60, uint8_t{0});
}

void IntegrationSettingsFromStoredPreferences() {
  const TPreferencesRecord& p = StoredPreferences;
  IntegrationSettings.CheckInterval = p.IntegrationCheckInterval;
  IntegrationSettings.MaxStepsReciprocal = p.IntegrationMaxStepsReciprocal;
  IntegrationSettings.MinStepsReciprocal = p.IntegrationMinStepsReciprocal;
  IntegrationSettings.ReduceThreshold = p.IntegrationReduceThreshold;
  IntegrationSettings.IncreaseThreshold = p.IntegrationIncreaseThreshold;
  IntegrationSettings.StepFraction = p.IntegrationStepFraction;
  IntegrationSettings.UseRichardson = p.IntegrationRichardson;
}

std::vector<uint8_t> PackDefaultsBlock() {
  std::vector<uint8_t> out(kDefaultsFixedSize, 0);
  uint8_t settings[kStoredDocumentSettingsSize];
  PackDocumentSettings(StoredDocumentSettings, settings);
  std::copy(settings, settings + kOldSettingsBytes, out.begin());
  PackStopCriteria(StoredStopCriteria, out.data() + 15);
  PackLetterDefaultBlock(StoredLetterDefaults, out.data() + 43);
  out[1707] = kDefaultsLayoutVersion;
  std::copy(settings, settings + kStoredDocumentSettingsSize, out.begin() + 1708);
  PackPreferences(StoredPreferences, out.data() + 1740);
  const TDefaultsReservedData& r = StoredDefaultsReserved;
  out[1994] = r.Byte1994;
  out[1995] = DefaultsWritable;
  for (size_t k = 0; k < StartupNoticeBlock.size(); ++k) SetInt16(out.data() + 1996 + 2 * k, StartupNoticeBlock[k]);
  std::copy(r.Bytes2020.begin(), r.Bytes2020.end(), out.begin() + 2020);
  out[2022] = r.Byte2022;
  out[2023] = r.Byte2023;
  std::copy(r.Bytes2024.begin(), r.Bytes2024.end(), out.begin() + 2024);
  for (const std::string& text : r.TextBlocks) {
    size_t n = std::min(text.size(), kMaxTextBlock);
    PutInt16(out, static_cast<int16_t>(n));
    out.insert(out.end(), text.begin(), text.begin() + static_cast<long>(n));
  }
  Append(out, r.Trailer);
  return out;
}

int32_t UnpackDefaultsBlock(const std::vector<uint8_t>& bytes, uint8_t& layoutVersion) {
  constexpr int32_t kShort = 100;
  BlockReader in(bytes);
  const uint8_t* at = nullptr;

  uint8_t settings[kStoredDocumentSettingsSize];
  PackDocumentSettings(StoredDocumentSettings, settings);
  if (!in.Take(kOldSettingsBytes, at)) return kShort;
  std::copy(at, at + kOldSettingsBytes, settings);
  if (!in.Take(kStoredStopCriteriaSize, at)) return kShort;
  UnpackStopCriteria(at, StoredStopCriteria);
  if (!in.Take(kStoredLetterDefaultBlockSize, at)) return kShort;
  UnpackLetterDefaultBlock(at, StoredLetterDefaults);
  if (!in.Byte(layoutVersion)) return kShort;
  // Layouts newer than this program's are read as its own.
  uint8_t version = std::min(layoutVersion, kDefaultsLayoutVersion);
  if (version >= 13) {
    if (!in.Take(kStoredDocumentSettingsSize, at)) return kShort;
    std::copy(at, at + kStoredDocumentSettingsSize, settings);
  }
  // Reading also recomputes the angle factor from the angle byte, so a new
  // document and a reopened one use the same factor.
  UnpackDocumentSettings(settings, StoredDocumentSettings);

  uint8_t prefs[kStoredPreferencesSize];
  PackPreferences(StoredPreferences, prefs);
  if (version <= 2) {
    if (!in.Take(17, at)) return kShort;
    prefs[0] = layoutVersion;
    std::copy(at, at + 7, prefs + 1);
    std::copy(at + 7, at + 13, prefs + 8);
    int16_t size = GetInt16(prefs + 10);
    while (size > 1000) size = static_cast<int16_t>(size - 1000);
    SetInt16(prefs + 10, size);
    std::copy(at + 13, at + 17, prefs + 14);
    prefs[18] = prefs[19] = prefs[20] = 0;
    prefs[17] = 1;
    prefs[21] = prefs[22] = prefs[23] = prefs[24] = 1;
    for (size_t off : {25, 27, 31, 154, 156}) SetInt16(prefs + off, 0);
  } else if (version <= 4) {
    if (!in.Take(33, at)) return kShort;
    std::copy(at, at + 33, prefs);
  } else {
    if (!in.Take(kStoredPreferencesSize, at)) return kShort;
    std::copy(at, at + kStoredPreferencesSize, prefs);
  }
  UnpackPreferences(prefs, StoredPreferences);
  if (version <= 4) SetPreferenceDefaults();

  TDefaultsReservedData& r = StoredDefaultsReserved;
  r = TDefaultsReservedData{};
  if (!in.Byte(r.Byte1994)) return kShort;
  if (version <= 2) {
    uint8_t f = 0;
    if (!in.Byte(f)) return kShort;
    DefaultsWritable = (f == 1 || f == 3) ? 1 : 0;
    StartupNoticeBlock = {};
  } else {
    if (!in.Byte(DefaultsWritable)) return kShort;
    if (!in.Take(24, at)) return kShort;
    for (size_t k = 0; k < StartupNoticeBlock.size(); ++k) StartupNoticeBlock[k] = GetInt16(at + 2 * k);
    if (version <= 7) {
      if (!in.Take(2, at)) return kShort;  // not kept by these layouts
    } else if (!in.Take(r.Bytes2020)) {
      return kShort;
    }
    if (!in.Byte(r.Byte2022) || !in.Byte(r.Byte2023)) return kShort;
  }
  if (!in.Take(r.Bytes2024)) return kShort;
  for (std::string& text : r.TextBlocks) {
    if (!in.Text(text)) return kShort;
  }
  if (!in.Take(r.Trailer)) return kShort;

  if (version < 9) {
    StoredStopCriteria.ChangeTolerance = std::min(StoredStopCriteria.ChangeTolerance, 1E-9L);
  }
  if (version < 4) {
    for (TLetterDefaultRecord& d : StoredLetterDefaults) d.Style = 3;
  }
  if (version < 9) {
    IntegrationSettings = TIntegrationSettings{};
  } else {
    IntegrationSettingsFromStoredPreferences();
  }
  return 0;
}

std::string DefaultsFileDirectory() { return UnitsFileDirectory(); }

bool SaveDefaultsFile(bool append, std::ostream& f) {
  std::vector<uint8_t> block = PackDefaultsBlock();
  const auto* data = reinterpret_cast<const char*>(block.data());
  auto size = static_cast<std::streamsize>(block.size());
  if (append) {
    f.write(data, size);
    if (!f) {
      ReportIOError(101);
      return false;
    }
    return true;
  }
  std::filesystem::path path = std::filesystem::path(DefaultsFileDirectory()) / kDefaultsFileName;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    ReportIOError(5);
    return false;
  }
  out.write(data, size);
  out.close();
  if (!out) {
    ReportIOError(101);
    return false;
  }
  return true;
}

bool ReadDefaultsFile() {
  // A distributable program (IsDistributableProgramFile of the running
  // program) carries this block in its own file. Until the distributable
  // start-up reads it from there, every program reads "VOQ.DFT".
  DistributableMode = false;
  std::filesystem::path path = std::filesystem::path(DefaultsFileDirectory()) / kDefaultsFileName;
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes;
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  uint8_t version = 0;
  if (!in || UnpackDefaultsBlock(bytes, version) != 0) {
    ShowAlert(GetMessageText(kMsgDefaultsFileMissing), kAlertErrorOk, true);
    return false;
  }
  if (ApplyStoredDefaults) {
    DocumentSettings = StoredDocumentSettings;
    StopCriteria = StoredStopCriteria;
    LetterDefaults = StoredLetterDefaults;
    Preferences = StoredPreferences;
    CreateDisplayFonts();
  }
  if (DefaultsWritable == 0) {
    std::fstream probe(path, std::ios::binary | std::ios::in | std::ios::out);
    if (probe) DefaultsWritable = 1;
  }
  if (MainProgramUnit != nullptr) MainProgramUnit->UnitComplexMode = Preferences.ComplexMode;
  ComplexLetter = Preferences.ImaginaryJ != 0 ? 'j' : 'i';
  PolarAngleChar = '<';
  ShowWarningMessages = Preferences.WarningsB != 0;
  ApplyOldLayoutPreferenceRules(Preferences, std::min(version, kDefaultsLayoutVersion));
  MaxVariables = 10000;
  return true;
}

bool ReadStartupDefaults() {
  if (!ReadDefaultsFile()) return false;
  ReadDefaultVarInfoFile(DefaultsFileDirectory());
  return true;
}

void InstallStartupDefaults() { RegisterEngineStartup(&ReadStartupDefaults); }

bool IsDistributableProgramFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  std::streamoff size = in.tellg();
  if (size < 4) return false;
  in.seekg(size - 4);
  uint8_t b[4] = {0, 0, 0, 0};
  in.read(reinterpret_cast<char*>(b), 4);
  if (!in) return false;
  uint32_t v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
               (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return static_cast<int32_t>(v) == kDistributableTrailer;
}

}  // namespace voq
