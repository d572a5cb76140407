#include "language/reader_state.h"

namespace voq {

std::string EquationTextBuffer;
int32_t EquationTextLength = 0;
std::vector<int32_t> EquationLineStarts;
int32_t EquationLineNo = 0;
std::deque<std::string> PendingStatements;

uint8_t CommentKind = 0;
TCommentScanState CommentScan;
std::vector<TCommentRecord> CommentRecordList;
std::vector<TCommentRecord> KeptCommentRecordList;

TTextReaderState TextReader;
bool RecompileRequested = false;
std::string IntegralTableDirective;

}  // namespace voq
