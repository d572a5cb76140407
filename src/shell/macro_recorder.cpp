#include "shell/macro_recorder.h"

#include "tables/tables_state.h"

namespace voq {

bool MacroTextRecorder::Recording() const { return MacroRecording; }

void MacroTextRecorder::AddLine(const std::string& line) { MacroText += line + "\r\n"; }

}  // namespace voq
