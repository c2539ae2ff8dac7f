#include "windows_test_util.h"

#include "graphics/renderer.h"
#include "windows/message.h"

TProbeWindow::TProbeWindow(TProbeLog* log, const char* name, TRect rect) : mLog(log) {
  SetName(name);
  SetPosition(rect.left, rect.top);
  SetSize(rect.Width(), rect.Height());
}

TProbeWindow::~TProbeWindow() {
  if (destroyed) *destroyed = true;
}

bool TProbeWindow::Record(const char* what, TPoint point, bool result) {
  mLog->push_back(GetName().ToStd() + ":" + what + "@" + std::to_string(point.x) + "," + std::to_string(point.y));
  return result;
}

bool TProbeWindow::OnMouseLeave() {
  mLog->push_back(GetName().ToStd() + ":leave");
  if (leaveHover && GetWindowManager()) GetWindowManager()->RemoveFromHoverList(this);
  return true;
}

bool TProbeWindow::OnMessage(TMessage& message) {
  mLog->push_back(GetName().ToStd() + ":msg " + message.GetName().ToStd());
  return handleMessage;
}

void TProbeWindow::Draw() {
  TRect clip;
  TRenderer::GetInstance()->GetClipRect(clip);
  mLog->push_back(GetName().ToStd() + ":draw");
}

void TWindowsTest::SetUp() {
  TScriptTest::SetUp();
  auto host = std::make_unique<TFakeWindowHost>();
  mHost = host.get();
  mManager = std::make_unique<TWindowManager>(std::move(host));
  mManager->InitScript();
  mManager->EnsureScreen(640, 480);
}

void TWindowsTest::TearDown() {
  mManager.reset();
  TScriptTest::TearDown();
}

TProbeWindow* TWindowsTest::AddProbe(TWindow* parent, const char* name, TRect rect) {
  std::unique_ptr<TWindow> probe = std::make_unique<TProbeWindow>(&mLog, name, rect);
  TProbeWindow* raw = static_cast<TProbeWindow*>(probe.get());
  EXPECT_TRUE(parent->AddChild(probe, false));
  return raw;
}

void TWindowsTest::Send(uint32_t type, int32_t x, int32_t y, int32_t code, uint32_t extra) {
  mManager->HandleEvent(TPlatformEvent::Of(type, code, x, y, extra));
}

void TWindowsTest::StartCoroutine(const std::string& body) {
  ASSERT_TRUE(Script().DoLuaString(TString(("return function() " + body + " end").c_str())));
}

