#pragma once
// CScene: the model base of every screen of the story (adventure and chapter screens,
// hidden-object games, cutscenes, the mini-games). It holds what every screen has: its
// number, background, music and ambience, fades, which sidebar buttons show, the scripts
// run on entering and leaving, its exits, hotspots and text boxes.
//
// A scene kind derives from it, answers IsOfType with its model type, overrides the object
// operations it supports, and writes its record in Serialize: the record's head, then
// CScene::Serialize (the shared fields and nested records), then its own fields and end:
//
//   void CMyScene::Serialize(std::string& out) const {
//     CRecordWriter record("MakeMyScene");
//     CScene::Serialize(record.Buffer());
//     record.Number("myField", mMyField);
//     record.Finish(out);
//   }

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/observed_subject.h"
#include "model/scene_exit.h"
#include "model/scene_hotspot.h"
#include "model/serializable.h"
#include "model/textbox.h"
#include "platform/engine_string.h"

// A read cursor over a map keyed by id, in id order. It remembers the last id it gave, so
// entries added or replaced during a walk neither break it nor are met twice.
template <typename T>
class CIdCursor {
 public:
  using Map = std::map<std::string, std::unique_ptr<T>>;
  void Rewind() { mLast.reset(); }
  bool HasMore(const Map& map) const { return Following(map) != map.end(); }
  // The entry under the cursor, which then moves on; null at the end.
  T* Next(const Map& map) {
    auto it = Following(map);
    if (it == map.end()) return nullptr;
    mLast = it->first;
    return it->second.get();
  }

 private:
  typename Map::const_iterator Following(const Map& map) const {
    return mLast ? map.upper_bound(*mLast) : map.begin();
  }
  std::optional<std::string> mLast;
};

class CScene : public CObservedSubject, public ISerializable {
 public:
  using Exits = std::map<std::string, std::unique_ptr<CSceneExit>>;
  using Hotspots = std::map<std::string, std::unique_ptr<CSceneHotspot>>;

  CScene() = default;
  // Deletes the hotspots, then the exits, then the text boxes.
  ~CScene() override;
  CScene(const CScene&) = delete;
  CScene& operator=(const CScene&) = delete;

  // True for the scene kind's own model type.
  virtual bool IsOfType(int modelType) const = 0;
  // Object operations by name; the base has no objects (nothing happens, false).
  virtual void SetObjectActive(const TString& name, bool active) {}
  virtual bool IsObjectActive(const TString& name) const { return false; }
  virtual void SetObjectVisible(const TString& name, bool visible) {}

  // Appends the shared fields: the field lines, the exit, hotspot and text box records and
  // an empty line. A complete record is the scene kind's (see above).
  void Serialize(std::string& out) const override;

  // Exits and hotspots, owned, by id. Adding one under an id in use replaces (deletes) the
  // earlier one; a null object is ignored.
  void AddSceneExit(std::unique_ptr<CSceneExit> exit);
  CSceneExit* FindSceneExit(const TString& id) const;
  void AddSceneHotspot(std::unique_ptr<CSceneHotspot> hotspot);
  CSceneHotspot* FindSceneHotspot(const TString& id) const;
  // Deletes the hotspot of that id; nothing when there is none.
  void RemoveSceneHotspot(const TString& id);
  const Exits& GetSceneExits() const { return mExits; }
  const Hotspots& GetSceneHotspots() const { return mHotspots; }

  // Read cursors in id order (byte order: "10" before "9").
  void RewindSceneExits() { mExitCursor.Rewind(); }
  bool HasMoreSceneExits() const { return mExitCursor.HasMore(mExits); }
  CSceneExit* GetNextSceneExit() { return mExitCursor.Next(mExits); }
  void RewindSceneHotspots() { mHotspotCursor.Rewind(); }
  bool HasMoreSceneHotspots() const { return mHotspotCursor.HasMore(mHotspots); }
  CSceneHotspot* GetNextSceneHotspot() { return mHotspotCursor.Next(mHotspots); }

  // Text boxes, owned, in the order added.
  void AddTextbox(std::unique_ptr<CTextbox> textbox);
  // A copy of the list; the scene keeps the boxes.
  std::vector<CTextbox*> GetTextboxes() const;

  int32_t GetSeqId() const { return mSeqId; }
  void SetSeqId(int32_t seqId) { mSeqId = seqId; }
  const TString& GetBg() const { return mBg; }
  void SetBg(const TString& bg) { mBg = bg; }
  const TString& GetTheme() const { return mTheme; }
  void SetTheme(const TString& theme) { mTheme = theme; }
  int32_t GetThemeOffset() const { return mThemeOffset; }
  void SetThemeOffset(int32_t offset) { mThemeOffset = offset; }
  const TString& GetAtmo() const { return mAtmo; }
  void SetAtmo(const TString& atmo) { mAtmo = atmo; }
  // Seconds between two ambient sounds; read from the record, not written back.
  int32_t GetMinLoop() const { return mMinLoop; }
  void SetMinLoop(int32_t seconds) { mMinLoop = seconds; }
  int32_t GetMaxLoop() const { return mMaxLoop; }
  void SetMaxLoop(int32_t seconds) { mMaxLoop = seconds; }
  int32_t GetFadeInDuration() const { return mFadeInDuration; }
  void SetFadeInDuration(int32_t ms) { mFadeInDuration = ms; }
  int32_t GetFadeOutDuration() const { return mFadeOutDuration; }
  void SetFadeOutDuration(int32_t ms) { mFadeOutDuration = ms; }
  // -1: none.
  int32_t GetNextScene() const { return mNextScene; }
  void SetNextScene(int32_t scene) { mNextScene = scene; }
  bool IsShowHintButton() const { return mShowHintButton; }
  void SetShowHintButton(bool show) { mShowHintButton = show; }
  bool IsShowDiaryButton() const { return mShowDiaryButton; }
  void SetShowDiaryButton(bool show) { mShowDiaryButton = show; }
  bool IsShowLightButton() const { return mShowLightButton; }
  void SetShowLightButton(bool show) { mShowLightButton = show; }
  const TString& GetInitScript() const { return mInitScript; }
  void SetInitScript(const TString& script) { mInitScript = script; }
  const TString& GetExitScript() const { return mExitScript; }
  void SetExitScript(const TString& script) { mExitScript = script; }
  bool IsCandleWindow() const { return mCandleWindow; }
  void SetCandleWindow(bool candle) { mCandleWindow = candle; }
  bool IsShowSkipButton() const { return mShowSkipButton; }
  void SetShowSkipButton(bool show) { mShowSkipButton = show; }
  bool IsInfoTextAtCursor() const { return mInfoTextAtCursor; }
  void SetInfoTextAtCursor(bool atCursor) { mInfoTextAtCursor = atCursor; }
  // The darkening: set as a percent, read as the fraction percent / 100.
  void SetAlphaOfBlack(int32_t percent);
  int32_t GetAlphaOfBlackPercent() const { return mAlphaOfBlackPercent; }
  float GetAlphaOfBlack() const { return mAlphaOfBlack; }
  double GetAlphaOfBlackRatio() const { return mAlphaOfBlackPercent / 100.0; }

 private:
  // The record gives the number; a scene made without one is scene 0.
  int32_t mSeqId = 0;
  TString mBg;
  TString mTheme;
  int32_t mThemeOffset = 0;
  TString mAtmo;
  int32_t mMinLoop = 0;
  int32_t mMaxLoop = 0;
  int32_t mFadeInDuration = 300;
  int32_t mFadeOutDuration = 300;
  int32_t mNextScene = -1;
  bool mShowHintButton = true;
  bool mShowDiaryButton = true;
  bool mShowLightButton = false;
  TString mInitScript;
  TString mExitScript;
  bool mCandleWindow = false;
  bool mShowSkipButton = false;
  bool mInfoTextAtCursor = false;
  int32_t mAlphaOfBlackPercent = 0;
  float mAlphaOfBlack = 0;
  Exits mExits;
  Hotspots mHotspots;
  std::vector<std::unique_ptr<CTextbox>> mTextboxes;
  CIdCursor<CSceneExit> mExitCursor;
  CIdCursor<CSceneHotspot> mHotspotCursor;
};
