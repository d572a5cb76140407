#include "platform/platform.h"

namespace voq {

AlertIcon AlertKindIcon(int kind) {
  switch (kind) {
    case kAlertInfoOk:
    case kAlertInfoYesNo:
    case kAlertInfoYesNoAll:
    case kAlertInfoYesNoCancel:
      return AlertIcon::Information;
    case kAlertWarningOkCancel:
    case kAlertWarningOk:
    case kAlertWarningYesNo:
      return AlertIcon::Warning;
    default:
      return AlertIcon::Error;
  }
}

std::vector<int> AlertKindButtons(int kind) {
  switch (kind) {
    case kAlertWarningOkCancel: return {kResultOk, kResultCancel};
    case kAlertErrorYesNo:
    case kAlertInfoYesNo:
    case kAlertWarningYesNo: return {kResultYes, kResultNo};
    case kAlertInfoYesNoAll: return {kResultYes, kResultNo, kResultAll};
    case kAlertInfoYesNoCancel: return {kResultYes, kResultNo, kResultCancel};
    default: return {kResultOk};
  }
}

int AlertDefaultResult(int kind) { return AlertKindButtons(kind).front(); }

}  // namespace voq
