#include "flow/message_handler.h"

#include "windows/window_manager.h"

namespace {

struct TModalScreen {
  const char* message;
  const char* chunk;
};
const TModalScreen ModalScreens[] = {
    {"ShowPickupWindow", "DoModal('scripts/pickupwindow.lua')"},
    {"ShowScoreWindow", "DoModal('scripts/score.lua')"},
    {"ShowBriefingWindow", "DoModal('scripts/briefingwindow.lua')"},
    {"ShowTutorialWindow", "DoModal('scripts/tutorial.lua')"},
    {"ShowCredits", "DoModal('scripts/credits.lua')"},
};

}  // namespace

bool CMessageHandler::OnMessage(TMessage& message) {
  for (const TModalScreen& screen : ModalScreens) {
    if (message.GetName() != screen.message) continue;
    if (TWindowManager* windows = GetWindowManager()) windows->DoLuaString(windows->GetTopModal(), screen.chunk);
    return true;
  }
  return false;
}
