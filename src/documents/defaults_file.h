#pragma once
// The defaults file "VOQ.DFT": the stored copies of the document settings,
// the stop criteria, the letter defaults and the preferences, with the
// program-wide flags and the reserved data kept as read. Older layouts
// (versions 1 to 12) are read and brought up to date; the writer always
// writes version 13.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace voq {

inline constexpr uint8_t kDefaultsLayoutVersion = 13;
inline constexpr const char* kDefaultsFileName = "VOQ.DFT";
// The fixed part before the four text blocks.
inline constexpr size_t kDefaultsFixedSize = 2028;
// A running program file whose last four bytes hold this value carries the
// defaults block itself (a distributable program).
inline constexpr int32_t kDistributableTrailer = 123456789;

// The defaults block of the stored copies, DefaultsWritable, the notice and
// the reserved data, layout version 13.
std::vector<uint8_t> PackDefaultsBlock();
// Reads a block of any layout version into the stored copies and applies the
// version rules. Gives 0, or 100 when the block ends early (the stored
// copies may then be partly read). layoutVersion gets the version byte.
int32_t UnpackDefaultsBlock(const std::vector<uint8_t>& bytes, uint8_t& layoutVersion);

// Fills the preference defaults of layouts older than the whole record.
void SetPreferenceDefaults();

// The stored integration settings in the stored preferences.
void IntegrationSettingsFromStoredPreferences();

// The folder of "VOQ.DFT" and "VOQ_DFLT.DVI": ProgramDirectory when it is
// set, else the "data" folder beside the program (where UNITS.TXT is).
std::string DefaultsFileDirectory();

// Append false: creates "VOQ.DFT" in DefaultsFileDirectory (f is not used).
// Append true: writes the block at f's position and leaves f open. An I/O
// failure is reported (ReportIOError) and gives false. The stored copies are
// written as they are: the caller copies the current settings into them
// first.
bool SaveDefaultsFile(bool append, std::ostream& f);

// Reads "VOQ.DFT" from DefaultsFileDirectory into the stored copies and
// takes the integration settings from them; with ApplyStoredDefaults the
// stored copies become the current ones and the display fonts are made
// again. Then the access mode (DefaultsWritable), the main unit's complex
// mode, ComplexLetter and MaxVariables. A missing or unreadable file shows
// message 560 and gives false: the program cannot start without it.
bool ReadDefaultsFile();

// The documents layer's start-up reader: ReadDefaultsFile, then the letter
// defaults of "VOQ_DFLT.DVI" (ReadDefaultVarInfoFile). False when the
// program must stop.
bool ReadStartupDefaults();
// Registers ReadStartupDefaults with the engine start (RegisterEngineStartup);
// InstallDocuments calls it.
void InstallStartupDefaults();

// True when the last four bytes of the file hold kDistributableTrailer.
bool IsDistributableProgramFile(const std::string& path);

}  // namespace voq
