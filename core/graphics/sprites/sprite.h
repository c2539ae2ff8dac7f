#pragma once
// TSprite: a node of the sprite tree that every game screen draws with. A sprite carries an
// optional texture, a local transform and tint (TSpriteDrawParams), a layer and the list of
// its children sorted by layer. Drawing, bounding boxes and hit tests walk the tree,
// composing each node's record with its parent's. Sprites live in shared pointers: the
// creating code holds the root, each sprite holds its children, a child only points back.
// Main thread only.

#include <cstdint>
#include <list>
#include <memory>

#include "graphics/math/rect.h"
#include "graphics/sprite_draw_params.h"
#include "platform/class_id.h"
#include "platform/point.h"

class TTexture;

// The child's record under its parent's: the child's transform applies first, alphas
// multiply, only the parent's mirror bits pass down (XOR). Anchor, colour and source
// rectangle stay the child's.
TSpriteDrawParams ComposeDrawParams(const TSpriteDrawParams& child, const TSpriteDrawParams& parent);

class TSprite : public std::enable_shared_from_this<TSprite> {
 public:
  TARVELON_CLASS_ID()
  using TChildList = std::list<std::shared_ptr<TSprite>>;

  // A detached, visible sprite on its layer; counted in "current_sprite_count".
  explicit TSprite(int32_t layer);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  // A new sprite; a texture, when given, goes through the virtual SetTexture.
  static std::shared_ptr<TSprite> Create(int32_t layer, const std::shared_ptr<TTexture>& texture = nullptr);

  virtual const char* GetClassName() const { return "TSprite"; }
  virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }
  // Draws the sprite under the parent's record: children on negative layers first, then
  // the texture, then the other children. Depth 0 draws the sprite alone; a negative depth
  // draws the whole tree.
  virtual void Draw(const TSpriteDrawParams& parent, int depth);
  // False (nothing changed) when the sprite is not a child of this one.
  virtual bool RemoveChild(const std::shared_ptr<TSprite>& child);
  // The screen bounding box of the texture's quad, united with the children's. Without a
  // texture it starts inverted, so that any union replaces it.
  virtual void GetRect(TRect& rect, const TSpriteDrawParams& parent, int depth);
  // Whether the point lies in the bounding box and (for a threshold of 0 or more) on a
  // drawn pixel whose alpha reaches the threshold. Invisible sprites are never hit;
  // sprites without a texture only with the setting "hittestchildren".
  virtual bool HitTest(const TPoint& point, int threshold, const TSpriteDrawParams& parent, int depth);
  virtual void SetTexture(const std::shared_ptr<TTexture>& texture);
  // Stable: among equal layers the order of adding stays.
  virtual void SortChildren();

  void SetVisible(bool visible) { mVisible = visible; }
  bool IsVisible() const { return mVisible; }
  // Re-sorts the parent's children at once when the layer changes.
  void SetLayer(int32_t layer);
  int32_t GetLayer() const { return mLayer; }
  // Appends the child (taking it from another parent first) and sorts; nothing when it
  // is a child already.
  void AddChild(const std::shared_ptr<TSprite>& child);
  void RemoveAllChildren();

  // The parent: a non-owning link, null for a root or a detached sprite; the parent
  // clears it when it lets the child go.
  TSprite* GetParent() const { return mParent; }
  const std::shared_ptr<TTexture>& GetTexture() const { return mTexture; }
  TSpriteDrawParams& GetDrawParams() { return mDrawParams; }
  const TSpriteDrawParams& GetDrawParams() const { return mDrawParams; }
  void SetDrawParams(const TSpriteDrawParams& params) { mDrawParams = params; }
  const TChildList& GetChildren() const { return mChildren; }

  // Live sprites of the process.
  static int32_t GetLiveCount();

 private:
  // Draws the sprite over one pixel of the shared hit-test target filled with a grey;
  // false when the target cannot be drawn into or read.
  bool ProbePixel(const TPoint& point, const TSpriteDrawParams& parent, int depth, float grey, uint32_t& pixel);
  // The alpha (0..255) of the sprite's drawn look at the point; -1 when it cannot be had.
  int ProbeAlpha(const TPoint& point, const TSpriteDrawParams& parent, int depth);

  TSprite* mParent = nullptr;
  bool mVisible = true;
  int32_t mLayer;
  std::shared_ptr<TTexture> mTexture;
  TSpriteDrawParams mDrawParams{TVec2(0, 0), 1.0f, 1.0f, 0};
  TChildList mChildren;
};
