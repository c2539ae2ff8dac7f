#include "graphics/display/dx_trace.h"

#include "graphics/display/display_host.h"
#include "platform/log.h"

void TraceDxError(TDevResult result, const char* unit, int line) {
  if (result == DDERR_OUTOFVIDEOMEMORY) DisplayHost().ReportOutOfVideoMemory();
  LogPrintf("DX Error: %s (0x%x), File %s, Line %d", "", static_cast<unsigned>(result), unit, line);
}
