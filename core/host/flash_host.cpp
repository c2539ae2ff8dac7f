#include "host/flash_host.h"

#include <unistd.h>

#include "graphics/renderer.h"
#include "host/host_platform.h"
#include "platform/directory_iterator.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "windows/screen.h"
#include "windows/window_manager.h"

namespace {

TMoviePlayerMaker gPlayerMaker = nullptr;

bool IsDisplayBroken() { return GetConfig("dxbroken").ToInt() != 0; }

constexpr uint32_t MajorVersion(uint32_t version) { return (version >> 16) & 0xFF; }

}  // namespace

void SetMoviePlayerMaker(TMoviePlayerMaker maker) { gPlayerMaker = maker; }

TFlashHost::TFlashHost(const TString& name) : mName(name) {
  mSavedCursorVisible = GetHostPlatform().IsCursorVisible();
}

TFlashHost::~TFlashHost() { Close(); }

std::unique_ptr<IMovieHost> TFlashHost::Make(const TString& name) { return std::make_unique<TFlashHost>(name); }

uint32_t TFlashHost::LeastVersion(bool textMode) {
  uint32_t least = textMode ? 6 : 4;
  TString configured = GetConfig("flashmajorversion");
  if (!configured.IsEmpty() && configured.ToInt() > int(least)) least = uint32_t(configured.ToInt());
  return least;
}

bool TFlashHost::Open(bool loop, bool textMode, bool interactive) {
  IHostPlatform& platform = GetHostPlatform();
  if (mPlayer) return false;
  if (interactive) platform.ReleaseMouseCapture();
  if (IsDisplayBroken()) return false;
  mSavedCursorVisible = platform.IsCursorVisible();
  platform.SetCursorVisible(false);
  if (interactive) platform.ShowArrowCursor();
  mPlayer = gPlayerMaker ? gPlayerMaker() : nullptr;
  if (!mPlayer || IsDisplayBroken()) {
    FailOpen();
    return false;
  }
  platform.GetClientSize(mWidth, mHeight);
  uint32_t version = 0;
  if (!mPlayer->Create(mWidth, mHeight, interactive) || !mPlayer->GetVersion(version) ||
      MajorVersion(version) < LeastVersion(textMode) || !LoadMovie(loop, textMode)) {
    FailOpen();
    return false;
  }
  TWindowManager* windows = GetWindowManager();
  if (windows) windows->SetDrawSuspended(true);
  mInteractive = interactive;
  if (interactive && windows) windows->SetMovieInput(true);
  // The display may have found its device unusable meanwhile.
  if (IsDisplayBroken()) {
    Close();
    return false;
  }
  return true;
}

void TFlashHost::FailOpen() {
  if (mPlayer) mPlayer->Destroy();
  mPlayer.reset();
  GetHostPlatform().SetCursorVisible(mSavedCursorVisible);
}

bool TFlashHost::LoadMovie(bool loop, bool textMode) {
  // The movie lies below "assets/", or the name is a path of its own.
  TString path = GetFullPath("assets/" + mName);
  if (!PathAccessible(path, R_OK)) path = GetFullPath(mName);
  if (path.IsEmpty() || !PathAccessible(path, R_OK)) {
    LogPrintf("TFlashHost: the movie %s is not there", mName.c_str());
    return false;
  }
  if (!mPlayer->PutProperty("Movie", path) || !mPlayer->PutProperty("Loop", loop)) return false;
  // Without texts to hand over, the control starts the movie by itself.
  if (!textMode) return true;
  if (!mPlayer->Call("Stop", {}, nullptr)) return false;
  PassTexts();
  return mPlayer->Call("Play", {}, nullptr);
}

bool TFlashHost::PassTexts() {
  TStringTable* strings = GetStringTable();
  TString names;
  mPlayer->Call("GetVariable", {"textvarnames"}, &names);
  // Each name is followed by ";"; a name without one is not taken.
  uint32_t start = 0;
  for (int end = names.Find(';'); end >= 0; end = names.Find(';', 0, start)) {
    TString name = names.Substr(start, int32_t(uint32_t(end) - start));
    start = uint32_t(end) + 1;
    if (!name.IsEmpty()) SetVariable(name, strings ? strings->GetString(name) : TString());
  }
  if (!strings) return true;
  std::vector<std::pair<TString, TString>> labels;
  strings->GetFlashStrings(labels);
  const TString prefix = "FLASH_";
  for (const auto& [label, text] : labels)
    if (label.Find(prefix) == 0) SetVariable(label.Substr(prefix.Length()), text);
  return true;
}

bool TFlashHost::SetVariable(const TString& name, const TString& value) {
  return mPlayer->Call("SetVariable", {name, value}, nullptr);
}

bool TFlashHost::IsPlaying() {
  bool playing = false;
  if (!mPlayer || !mPlayer->GetProperty("Playing", playing)) return false;
  IHostPlatform& platform = GetHostPlatform();
  if (platform.IsFullScreen() && !platform.IsEmbedded() && platform.IsActive()) {
    int32_t width = 0, height = 0;
    platform.GetClientSize(width, height);
    if (width < mWidth || height < mHeight) {
      LogPrintf("TFlashHost::IsPlaying: Resizing platform hwnd to %dx%d from %dx%d", mWidth, mHeight, width, height);
      platform.SetClientSize(mWidth, mHeight);
    }
  }
  return playing;
}

void TFlashHost::Close() {
  if (!mPlayer) return;
  mPlayer->Destroy();
  mPlayer.reset();
  TWindowManager* windows = GetWindowManager();
  if (windows) windows->SetDrawSuspended(false);
  IHostPlatform& platform = GetHostPlatform();
  platform.ForgetDrawnCursor();
  WipeScreen();
  if (mInteractive && windows) windows->SetMovieInput(false);
  mInteractive = false;
  platform.SetCursorVisible(mSavedCursorVisible);
}

// One frame in the screen window's colour, so that the movie's last picture does not stay.
void TFlashHost::WipeScreen() {
  TWindowManager* windows = GetWindowManager();
  TWindow* screen = windows ? windows->GetScreen() : nullptr;
  if (!screen) return;
  windows->Invalidate();
  TScreen* root = WindowCast<TScreen>(screen);
  TColor colour = root ? root->GetClearColor() : TColor{0.0f, 0.0f, 0.0f, 1.0f};
  TRect rect;
  screen->GetScreenRect(rect);
  TRenderer* renderer = TRenderer::GetInstance();
  // Never inside a frame that is being drawn: the next frame draws the screen anyway.
  if (renderer->IsDrawing() || !renderer->BeginDraw(false)) return;
  if (renderer->Begin2d()) {
    renderer->FillRect(rect, colour);
    renderer->End2d();
  }
  renderer->EndDraw(true);
  GetHostPlatform().ForgetDrawnCursor();
}
