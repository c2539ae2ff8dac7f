#pragma once
// Helpers of the menu window tests: the game-flow rig (settings object, players, the game's
// window types) with a sound manager on a silent output, sounds written as assets, and a
// dialog opened from window script text.

#include <memory>
#include <string>

#include "flow/flow_test_util.h"
#include "sound/sound_manager.h"

class TMenuTest : public TFlowTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the fixture tone as an asset of that name.
  void WriteSound(const char* name);
  // Pushes a modal built from the dialog's window table text; answers its first window
  // of the type.
  template <class T>
  T* Open(const std::string& dialog) {
    EXPECT_EQ(Lua("PushModal('menu') MakeDialog{ " + dialog + " }"), "") << dialog;
    return WindowCast<T>(Manager().GetTopModal()->GetChildren().front().get());
  }
  // A window of the top modal by name.
  template <class T>
  T* Child(const char* name) {
    return WindowCast<T>(Manager().GetTopModal()->FindChild(name));
  }

  std::unique_ptr<TSoundManager> mSound;
};
