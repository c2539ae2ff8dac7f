#include "model/scene.h"

#include "model/record_writer.h"

CScene::~CScene() {
  mHotspots.clear();
  mExits.clear();
  mTextboxes.clear();
}

void CScene::Serialize(std::string& out) const {
  CRecordWriter fields;
  fields.Number("seqId", mSeqId);
  fields.String("bg", mBg);
  fields.String("theme", mTheme);
  fields.String("atmo", mAtmo);
  fields.Number("themeOffset", mThemeOffset);
  fields.Number("fadeInDuration", mFadeInDuration);
  fields.Number("fadeOutDuration", mFadeOutDuration);
  fields.Number("alphaOfBlack", mAlphaOfBlackPercent);
  fields.Flag("showSkipButton", mShowSkipButton);
  fields.Flag("candleWindow", mCandleWindow);
  fields.Flag("infoTextAtCursor", mInfoTextAtCursor);
  fields.Number("nextScene", mNextScene);
  fields.Flag("showHintButton", mShowHintButton);
  fields.Flag("showDiaryButton", mShowDiaryButton);
  fields.Flag("showLightButton", mShowLightButton);
  if (!mInitScript.IsEmpty()) fields.String("initScript", mInitScript);
  if (!mExitScript.IsEmpty()) fields.String("exitScript", mExitScript);
  for (const auto& entry : mExits) fields.Nested(*entry.second);
  for (const auto& entry : mHotspots) fields.Nested(*entry.second);
  for (const auto& textbox : mTextboxes) textbox->WriteRecord(fields.Buffer());
  fields.Text("\n");
  fields.Finish(out);
}

void CScene::AddSceneExit(std::unique_ptr<CSceneExit> exit) {
  if (exit) {
    std::string id = exit->GetId().ToStd();
    mExits[id] = std::move(exit);
  }
}

CSceneExit* CScene::FindSceneExit(const TString& id) const {
  auto it = mExits.find(id.ToStd());
  return it == mExits.end() ? nullptr : it->second.get();
}

void CScene::AddSceneHotspot(std::unique_ptr<CSceneHotspot> hotspot) {
  if (hotspot) {
    std::string id = hotspot->GetId().ToStd();
    mHotspots[id] = std::move(hotspot);
  }
}

CSceneHotspot* CScene::FindSceneHotspot(const TString& id) const {
  auto it = mHotspots.find(id.ToStd());
  return it == mHotspots.end() ? nullptr : it->second.get();
}

void CScene::RemoveSceneHotspot(const TString& id) { mHotspots.erase(id.ToStd()); }

void CScene::AddTextbox(std::unique_ptr<CTextbox> textbox) {
  if (textbox) mTextboxes.push_back(std::move(textbox));
}

std::vector<CTextbox*> CScene::GetTextboxes() const {
  std::vector<CTextbox*> list;
  for (const auto& textbox : mTextboxes) list.push_back(textbox.get());
  return list;
}

void CScene::SetAlphaOfBlack(int32_t percent) {
  mAlphaOfBlackPercent = percent;
  mAlphaOfBlack = percent / 100.0f;
}
