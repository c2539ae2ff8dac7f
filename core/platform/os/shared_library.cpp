#include "platform/os/shared_library.h"

#include <dlfcn.h>

#include <utility>

TSharedLibrary::~TSharedLibrary() { Close(); }

TSharedLibrary::TSharedLibrary(TSharedLibrary&& other) noexcept
    : mHandle(std::exchange(other.mHandle, nullptr)), mError(std::move(other.mError)) {}

TSharedLibrary& TSharedLibrary::operator=(TSharedLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    mHandle = std::exchange(other.mHandle, nullptr);
    mError = std::move(other.mError);
  }
  return *this;
}

bool TSharedLibrary::Open(const std::string& path) {
  Close();
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* message = dlerror();
    mError = message ? message : "cannot load " + path;
    return false;
  }
  mError.clear();
  return true;
}

void TSharedLibrary::Close() {
  if (mHandle) dlclose(mHandle);
  mHandle = nullptr;
}

void* TSharedLibrary::Symbol(const char* name) const { return mHandle ? dlsym(mHandle, name) : nullptr; }
