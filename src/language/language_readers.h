#pragma once
// The statement readers of the language: routines, IF/THEN/ELSE and
// DUPLICATE, behind the StatementReaders seam of the compile driver.
#include "language/statement_readers.h"

namespace voq {

StatementReaders& LanguageReaders();

}  // namespace voq
