#pragma once
// The built-in procedure JANAF: molar cp, h and s of a substance at a
// temperature from 7-coefficient polynomial fits (the NASA form, two sets
// split at 1000 K), read from the data block at the end of "JANAF.DLP" in
// the current directory (the procedure's folder while it runs):
//
//   CALL JANAF('Substance', T : Cp, h, s)
//
// File layout: the last 4 bytes hold the offset of the data block (int32,
// little-endian); the block is a run of 149-byte records up to those 4
// bytes: name (length byte and 20 characters, capitals), Tmin and Tmax (K),
// a1..a7 for T >= 1000 K, a1..a7 below 1000 K, all reals IEEE 8-byte.
#include <cstdint>
#include <string>
#include <vector>

#include "core/handles.h"

namespace voq {

inline constexpr int32_t kJanafRecordSize = 149;
inline constexpr double kJanafGasConstant = 8.314;

struct TJanafRecord {
  std::string Name;  // capitals, at most 20 characters
  double Tmin = 0;
  double Tmax = 0;
  double High[7] = {};  // T >= 1000 K
  double Low[7] = {};   // T < 1000 K
};

// The procedure: mode -1 writes the calling form into text; otherwise text
// holds the substance on entry and the message (empty on success) on return.
void CallJanaf(char* text, int32_t mode, const TParamNodeRecord* inputs, TParamNodeRecord* outputs);
// Reads "JANAF.DLP" in the current directory for substance at T; the three
// results stay as given (-999) on failure. Returns the message, empty on
// success.
std::string JanafLookup(const std::string& substance, double& cp, double& h, double& s, double t);
// Cp, h and s of a record at T (no range check).
void EvaluateJanafRecord(const TJanafRecord& record, double t, double& cp, double& h, double& s);
int32_t CountParamNodes(const TParamNodeRecord* list);

// The stored form of one record, and of a whole data block with its offset
// word appended after prefix (the bytes before the block).
void PackJanafRecord(const TJanafRecord& record, uint8_t* dst);
std::vector<uint8_t> BuildJanafFile(const std::vector<uint8_t>& prefix, const std::vector<TJanafRecord>& records);
// Reads the text form of the fits: per species one line "NAME Tmin Tmax"
// followed by the 7 coefficients of the set below 1000 K and the 7 of the
// set at and above 1000 K; '#' starts a comment. False with a reason in error.
bool ParseJanafText(const std::string& text, std::vector<TJanafRecord>& records, std::string& error);

}  // namespace voq
