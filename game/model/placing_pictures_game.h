#pragma once
// CPlacingPicturesGame: the model of the picture-placing puzzle. The background shows
// hotspots (quadrilaterals), each holding one picture or none; the player carries pictures
// to other hotspots (onto an empty one, or in swap mode exchanging with the picture there)
// and presses the check button; the puzzle is solved when every hotspot holds its end
// picture ("?" accepts any picture and none).
//
// The record gives the layout as lists, one entry per hotspot (corners, id, start picture)
// and the end pictures. While the game runs the board lives in hotspot objects of the
// scene's own hotspot map, named after the picture they hold; LayOutBoard makes them, first
// taking back the layout from the hotspots the scene already holds (a saved game in
// progress, or the screen opened again), so the board comes back as it was left.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/scene.h"
#include "model/textbox_layout.h"
#include "platform/engine_string.h"

class CSceneHotspot;

class CPlacingPicturesGame : public CScene, public CTextboxLayout {
 public:
  // The end picture that accepts any picture and none.
  static constexpr const char* AnyPicture = "?";

  // True for 31 only.
  bool IsOfType(int modelType) const override;
  // The MakePlacingPicturesGame record: the scene fields (with the board's hotspot objects),
  // the picture folder, the text style, the check button, the swap mode, the text boxes and
  // the hotspots (only their end pictures while the board is laid out).
  void Serialize(std::string& out) const override;

  // A picture named p shows the image filepath followed by p.
  const TString& GetFilepath() const { return mFilepath; }
  void SetFilepath(const TString& path) { mFilepath = path; }
  const TString& GetCheckbutton() const { return mCheckbutton; }
  void SetCheckbutton(const TString& image) { mCheckbutton = image; }
  void SetCheckbuttonPosition(uint32_t x, uint32_t y);
  uint32_t GetCheckbuttonX() const { return mCheckbuttonX; }
  uint32_t GetCheckbuttonY() const { return mCheckbuttonY; }
  // Swap mode: a dropped picture exchanges places with the one on its target.
  bool GetSwopMode() const { return mSwopMode; }
  void SetSwopMode(bool swap) { mSwopMode = swap; }

  // The layout lists, one entry per hotspot; the record gives each hotspot's entries
  // together. Getters past the end of a list answer 0 or the empty text.
  void AddHotspotX1(int32_t x) { mX[0].push_back(x); }
  void AddHotspotX2(int32_t x) { mX[1].push_back(x); }
  void AddHotspotX3(int32_t x) { mX[2].push_back(x); }
  void AddHotspotX4(int32_t x) { mX[3].push_back(x); }
  void AddHotspotY1(int32_t y) { mY[0].push_back(y); }
  void AddHotspotY2(int32_t y) { mY[1].push_back(y); }
  void AddHotspotY3(int32_t y) { mY[2].push_back(y); }
  void AddHotspotY4(int32_t y) { mY[3].push_back(y); }
  void AddHotspotId(const TString& id) { mIds.push_back(id); }
  void AddHotspotImageStart(const TString& picture) { mImageStart.push_back(picture); }
  void AddHotspotImageEnd(const TString& picture) { mImageEnd.push_back(picture); }
  // The number of start pictures.
  int32_t GetHotspotCount() const { return int32_t(mImageStart.size()); }
  int32_t GetHotspotX1(int32_t i) const { return Corner(mX[0], i); }
  int32_t GetHotspotX2(int32_t i) const { return Corner(mX[1], i); }
  int32_t GetHotspotX3(int32_t i) const { return Corner(mX[2], i); }
  int32_t GetHotspotX4(int32_t i) const { return Corner(mX[3], i); }
  int32_t GetHotspotY1(int32_t i) const { return Corner(mY[0], i); }
  int32_t GetHotspotY2(int32_t i) const { return Corner(mY[1], i); }
  int32_t GetHotspotY3(int32_t i) const { return Corner(mY[2], i); }
  int32_t GetHotspotY4(int32_t i) const { return Corner(mY[3], i); }
  TString GetHotspotId(int32_t i) const { return Text(mIds, i); }
  TString GetHotspotImageStart(int32_t i) const { return Text(mImageStart, i); }
  TString GetHotspotImageEnd(int32_t i) const { return Text(mImageEnd, i); }
  // Empties the layout lists but the end pictures.
  void ClearHotspots();

  // The board's hotspot objects, hotspot i at index i (not owned: the scene's hotspot map
  // owns them).
  void AddHotspotObject(CSceneHotspot* hotspot);
  int32_t GetHotspotObjectCount() const { return int32_t(mHotspotObjects.size()); }
  // Object i, or null.
  CSceneHotspot* GetHotspotObject(int32_t i) const;
  // The index of that object on the board, or -1.
  int32_t FindHotspotObject(const CSceneHotspot* hotspot) const;
  void ClearHotspotObjects();

  // Lays the board out as the screen opens. The hotspots the scene already holds are taken
  // back into the layout lists (sorted by the numeric values of their ids, the first of each
  // value, the others with a log line; ids compare as unsigned numbers, so "-1" comes last)
  // and removed; then one hotspot object per hotspot of the lists goes into the scene: named
  // after its start picture, active when empty (in swap mode always). A hotspot whose id an
  // earlier one has is left out, with a log line. Any picture carried is dropped back.
  void LayOutBoard();

  // Carrying a picture: picking it up empties the hotspot that holds it (in normal mode that
  // hotspot takes pictures from now on). False when no hotspot holds it or one is carried.
  bool PickUpPicture(const TString& picture);
  bool IsCarrying() const { return mCarriedFrom >= 0; }
  const TString& GetCarriedPicture() const { return mCarried; }
  // What a drop did: the carried picture now on the target; in swap mode the picture that
  // stood there went back to the hotspot the carried one came from.
  struct TDrop {
    bool placed = false;
    TString returned;
    int32_t returnedTo = -1;
  };
  // Drops the carried picture on hotspot object `target', which must be active (every
  // hotspot in swap mode, empty ones in normal mode). Refused (the picture stays carried)
  // for any other target.
  TDrop DropPicture(int32_t target);

  // Every hotspot object holds its end picture, or its end picture is "?"; a hotspot
  // without an end picture must be empty. True with no hotspot objects.
  bool IsWon() const;

 private:
  static int32_t Corner(const std::vector<int32_t>& list, int32_t i);
  static TString Text(const std::vector<TString>& list, int32_t i);
  void TakeBackSceneHotspots();
  void RemoveHotspotEntry(size_t i);

  bool mSwopMode = false;
  TString mCheckbutton;
  uint32_t mCheckbuttonX = 0;
  uint32_t mCheckbuttonY = 0;
  std::vector<CSceneHotspot*> mHotspotObjects;
  std::vector<TString> mImageStart;
  std::vector<TString> mImageEnd;
  TString mFilepath;
  std::array<std::vector<int32_t>, 4> mX;
  std::array<std::vector<int32_t>, 4> mY;
  std::vector<TString> mIds;
  // The carried picture and the board index of the hotspot it came from (-1: none).
  TString mCarried;
  int32_t mCarriedFrom = -1;
};
