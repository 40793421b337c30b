#include "model/cLog.h"

namespace {

cLog_base& builtInLog() {
  static cLog_base log;
  return log;
}

cLog* currentLog = nullptr;

}  // namespace

cLog& tolmira::processLog() { return currentLog ? *currentLog : builtInLog(); }

cLog* tolmira::setProcessLog(cLog* log) {
  cLog* previous = &processLog();
  currentLog = log;
  return previous;
}
