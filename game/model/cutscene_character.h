#pragma once
// CCutsceneCharacter: one of a cutscene's cast: its id (the key that script steps name), the
// string-table label of its name, where it stands on the stage, and a picture per mood.

#include <cstdint>
#include <map>

#include "model/serializable.h"
#include "platform/engine_string.h"

class CCutsceneCharacter : public ISerializable {
 public:
  // Stage positions.
  enum : int32_t { Narration = 0, Left = 1, Right = 2, Letter = 3, ScreenShake = 4 };

  // The MakeCutsceneCharacter record; the images line only when there are images.
  void Serialize(std::string& out) const override;

  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  int32_t GetPosition() const { return mPosition; }
  void SetPosition(int32_t position) { mPosition = position; }
  // Horizontal shift of the picture in pixels.
  int32_t GetOffsetX() const { return mOffsetX; }
  void SetOffsetX(int32_t offset) { mOffsetX = offset; }
  // Replaces the picture of that mood.
  void SetImage(int32_t mood, const TString& file) { mImages[mood] = file; }
  // The picture of that mood, or null.
  const TString* GetImage(int32_t mood) const;
  const std::map<int32_t, TString>& GetImages() const { return mImages; }

 private:
  // A character made without an id has one no record can name by accident.
  TString mId = "\xFF";
  TString mName;
  int32_t mPosition = Left;
  std::map<int32_t, TString> mImages;
  int32_t mOffsetX = 0;
};
