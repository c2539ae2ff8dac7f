#pragma once
// CSceneArea: what an exit and a hotspot of a scene share: an id (the key in its scene), a
// name, an info text, an active flag, a cursor style path and a quadrilateral of four
// corners that answers whether a point lies inside.

#include <cstdint>

#include "model/serializable.h"
#include "platform/engine_string.h"

class CRecordWriter;

class CSceneArea : public ISerializable {
 public:
  // The model type of the kind (exit 20, hotspot 28).
  virtual bool IsOfType(int modelType) const = 0;

  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  const TString& GetText() const { return mText; }
  void SetText(const TString& text) { mText = text; }
  bool IsActive() const { return mActive; }
  void SetActive(bool active) { mActive = active; }
  const TString& GetCursorStylePath() const { return mCursorStylePath; }
  void SetCursorStylePath(const TString& path) { mCursorStylePath = path; }

  int32_t GetPositionX1() const { return mX[0]; }
  int32_t GetPositionY1() const { return mY[0]; }
  int32_t GetPositionX2() const { return mX[1]; }
  int32_t GetPositionY2() const { return mY[1]; }
  int32_t GetPositionX3() const { return mX[2]; }
  int32_t GetPositionY3() const { return mY[2]; }
  int32_t GetPositionX4() const { return mX[3]; }
  int32_t GetPositionY4() const { return mY[3]; }
  void SetPositionX1(int32_t x) { mX[0] = x; }
  void SetPositionY1(int32_t y) { mY[0] = y; }
  void SetPositionX2(int32_t x) { mX[1] = x; }
  void SetPositionY2(int32_t y) { mY[1] = y; }
  void SetPositionX3(int32_t x) { mX[2] = x; }
  void SetPositionY3(int32_t y) { mY[2] = y; }
  void SetPositionX4(int32_t x) { mX[3] = x; }
  void SetPositionY4(int32_t y) { mY[3] = y; }
  // Corner 1 to 4; other numbers are ignored.
  void SetCorner(int corner, int32_t x, int32_t y);

  // The edges run 1-2, 2-3, 3-4, 4-1; the point is inside when it lies on no edge's
  // negative side (on an edge or corner counts as inside). With y growing downward that is
  // the inside of a convex quadrilateral whose corners run clockwise on screen; corners in
  // the other order take no point at all.
  bool IsPointInside(int32_t x, int32_t y) const;

 protected:
  // The four corner lines of the record.
  void WriteCorners(CRecordWriter& record) const;

 private:
  TString mId;
  TString mName;
  TString mText;
  // Records normally give the flag; one that doesn't leaves its exit or hotspot usable.
  bool mActive = true;
  TString mCursorStylePath;
  int32_t mX[4] = {0, 0, 0, 0};
  int32_t mY[4] = {0, 0, 0, 0};
};
