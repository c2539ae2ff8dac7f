#include "host/host_platform.h"

namespace {

IHostPlatform gInert;
IHostPlatform* gInstalled = nullptr;

}  // namespace

IHostPlatform& GetHostPlatform() { return gInstalled ? *gInstalled : gInert; }

void SetHostPlatform(IHostPlatform* platform) { gInstalled = platform; }
