#pragma once
// CMixPotionPipe: one piece of the potion network, a cell of the board's grid that takes the
// colours of the pipes feeding it (its parents) and passes its own on to the pipes it feeds
// (its children). The colour codes, their names and letters, and the mixing rule live here
// too, as the pipes and the game share them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/serializable.h"
#include "platform/engine_string.h"

// Colour codes: green 0, orange 1, black 2, purple 3, none 5 (4 has no name).
enum TPotionColor : uint32_t {
  PotionGreen = 0,
  PotionOrange = 1,
  PotionBlack = 2,
  PotionPurple = 3,
  PotionNone = 5,
};

// The letter that texture and sprite names use: "g", "o", "b", "p", "u" for none, and the
// empty text for any other code.
TString ColorLetter(uint32_t color);
// The word of the model text: "green", "orange", "black", "purple"; every other code is
// written "none", which reads back as none.
TString ColorName(uint32_t color);
// The code of a word of the model text; none for any word but the four colours.
uint32_t ColorFromName(const TString& name);
// The colour that `count' inputs mix to. One input stays as it is; two mix only under
// colour system 1; no input, or more than two, give none.
uint32_t MixColors(const uint32_t* colors, uint32_t count, uint32_t colorSystem);

class CMixPotionPipe : public ISerializable {
 public:
  static constexpr size_t MaxConnections = 3;
  static constexpr uint32_t UnsetId = 440042;
  // What GetPipeKind answers for a piece that has no graphic.
  static constexpr int32_t NoGraphic = 18;

  CMixPotionPipe(uint32_t x, uint32_t y, uint32_t h);

  // The MakeMixPotionPipe record: id, place, order key and connected ids.
  void Serialize(std::string& out) const override;

  // The grid cell is kept unsigned (as written); the getters give it back signed, so a cell
  // left of the board stays left of it.
  int32_t GetX() const { return int32_t(mX); }
  int32_t GetY() const { return int32_t(mY); }
  uint32_t GetH() const { return mH; }
  uint32_t GetId() const { return mId; }
  void SetId(uint32_t id) { mId = id; }
  uint32_t GetColor() const { return mColor; }
  void SetColor(uint32_t color) { mColor = color; }
  uint32_t GetLevel() const { return mLevel; }
  void SetLevel(uint32_t level) { mLevel = level; }

  // The ids of the pipes this one feeds; the first MaxConnections are kept (a log line when
  // there are more).
  void SetConnectionIds(const std::vector<uint32_t>& ids);
  std::vector<uint32_t> GetConnectionIds() const;

  // The linked pipes; null for an index outside the list. The game owns every pipe.
  uint32_t GetChildCount() const { return uint32_t(mChildren.size()); }
  CMixPotionPipe* GetChild(uint32_t i) const { return i < mChildren.size() ? mChildren[i] : nullptr; }
  uint32_t GetParentCount() const { return uint32_t(mParents.size()); }
  CMixPotionPipe* GetParent(uint32_t i) const { return i < mParents.size() ? mParents[i] : nullptr; }
  // Makes `other' a child of this pipe and this pipe a parent of `other'.
  void LinkTo(CMixPotionPipe* other);
  void ClearLinks();

  // The graphic index of the piece's shape (0 to 9), or NoGraphic.
  int32_t GetPipeKind() const;
  // The texture name's ending that shows the colours in the piece: "_" and letters.
  TString GetColorSuffix() const;

 private:
  enum TSide { Up, Right, Down, Left, SideCount };
  struct TSides {
    std::array<bool, SideCount> used{};
    std::array<bool, SideCount> outflow{};
    std::array<uint32_t, SideCount> color{PotionNone, PotionNone, PotionNone, PotionNone};
    int Count() const;
  };
  TSide SideTowards(const CMixPotionPipe& other) const;
  TSides Sides() const;

  uint32_t mX = 0;
  uint32_t mY = 0;
  uint32_t mH = 0;
  uint32_t mLevel = 0;
  std::vector<uint32_t> mConnectionIds;
  uint32_t mId = UnsetId;
  uint32_t mColor = PotionNone;
  std::vector<CMixPotionPipe*> mChildren;
  std::vector<CMixPotionPipe*> mParents;
};
