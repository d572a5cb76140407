#include "language/statement_readers.h"

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "language/reader_state.h"

namespace voq {

namespace {
// A message of our own, in MessageText.
StatementReaders defaultReaders;
StatementReaders* installedReaders = &defaultReaders;
IncludeLoaders defaultLoaders;
IncludeLoaders* installedLoaders = &defaultLoaders;
}  // namespace

StatementReaders& Readers() { return *installedReaders; }
namespace {
IntegralTableSetUp integralTableSetUp = nullptr;
}  // namespace

void SetIntegralTableSetUp(IntegralTableSetUp setUp) { integralTableSetUp = setUp; }
IntegralTableSetUp InstalledIntegralTableSetUp() { return integralTableSetUp; }

void SetStatementReaders(StatementReaders* readers) {
  installedReaders = readers ? readers : &defaultReaders;
}
IncludeLoaders& Loaders() { return *installedLoaders; }
void SetIncludeLoaders(IncludeLoaders* loaders) {
  installedLoaders = loaders ? loaders : &defaultLoaders;
}

// Until the variable-information and library loaders exist, such an include
// is refused with a message naming the file rather than skipped.
void IncludeLoaders::ReadVarInfoFile(const std::string& fileName) {
  MessageText = "Variable information files cannot be included yet: " + fileName;
  CalcErrorCode = kMsgPreparedText;
  ShowEquationError(kMsgPreparedText, CalcErrorStart, CalcErrorEnd, EquationLineNo + 1);
}

void IncludeLoaders::LoadLibraryFile(const std::string& fileName, bool /*asInclude*/) {
  MessageText = "Library files cannot be included yet: " + fileName;
  CalcErrorCode = kMsgPreparedText;
  ShowEquationError(kMsgPreparedText, CalcErrorStart, CalcErrorEnd, EquationLineNo + 1);
}

}  // namespace voq
