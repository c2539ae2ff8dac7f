#pragma once
// TRenderer: the one drawing front end of the engine. It guards the order of the blocks
// (a frame, 2D and 3D blocks inside it, render-target blocks) and logs misuse, keeps the
// clip-rectangle stack and the current texture, forwards vertices and states to the
// display handler, measures the frame rate and draws the statistics overlay.
//
// A frame of the window manager:
//   BeginDraw(false); Begin2d(); PushViewport/PushClipRect per window, the windows draw
//   (textures, sprites, text spans), pops; End2d(); EndDraw(true);

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/display/dx_context.h"
#include "graphics/math/rect.h"
#include "graphics/math/vector_math.h"
#include "graphics/text/mini_vec_draw.h"

class TTextureBase;
class TTextGraphic;

// The rasteriser's side of the renderer: spans become one-pixel line lists blended
// normally without a texture; the start-up check draws into a render-target texture.
class TRendererSpanSink : public ISpanSink {
 public:
  void DrawSpans(const TColorSpan* spans, size_t count) override;
  std::shared_ptr<IVecDrawTarget> CreateRenderTarget(int width, int height) override;
  bool BeginRenderTarget(const std::shared_ptr<IVecDrawTarget>& target) override;
  void EndRenderTarget() override;

 private:
  std::vector<TLVertex> mVertices;
  bool mOpened2d = false;
};

class TRenderer {
 public:
  static TRenderer* GetInstance();
  static void DestroyInstance();

  // Frame blocks; each answers whether it was entered.
  bool BeginDraw(bool copyFront);
  bool BeginRenderTarget(const std::shared_ptr<TTextureBase>& texture, int mode);
  void EndRenderTarget();
  bool Begin2d();
  bool Begin3d();
  void End2d();
  void End3d();
  void EndDraw(bool present);

  bool Is2d() const { return mIn2d; }
  bool Is3d() const { return mIn3d; }
  bool IsDrawing() const { return mInDraw || mInRenderTarget; }
  std::shared_ptr<TTextureBase> GetTexture() const { return mTexture; }
  std::shared_ptr<TTextureBase> GetCaptureTexture() const;

  // Primitive types as the device numbers them (2 line list, 4 triangle list, 6 fan).
  void DrawVertices(uint32_t primitive, const TVertexList& list);
  void DrawIndexedVertices(uint32_t primitive, const TVertexList& list, const uint16_t* indices, uint32_t indexCount);
  void SetTexture(const std::shared_ptr<TTextureBase>& texture);
  // 0 normal, 1 opaque, 2 additive, 3 subtractive, 4 multiply.
  void SetBlendMode(int mode);
  // 1 none, 2 clockwise, 3 counter-clockwise.
  void SetCullMode(int mode);
  // Without a target the rectangle is in the current viewport's coordinates: inside a
  // frame an untextured quad in the current blend mode, else a fill of the back buffer
  // clipped to the clip rectangle.
  void FillRect(const TRect& rect, const TColor& colour, const std::shared_ptr<TTextureBase>& target = nullptr);
  void GetViewport(TRect& rect) const;
  void PushViewport(const TRect& rect);
  void PopViewport();
  bool PushClipRect(const TRect& rect);
  void PopClipRect();
  void GetClipRect(TRect& rect) const;
  const std::vector<TRect>& GetClipStack() const { return mClipStack; }
  void SetOption(const TString& name, const TString& value);
  TString GetOption(const TString& name) const;
  bool CanUseAnyTextureSize() const;
  void SetTextureFilter(int mode);

  // A texture of the screen's size that the end of the next frame fills with the frame.
  void SetCaptureTexture(const std::shared_ptr<TTextureBase>& texture);
  // Writes the last presented frame (without the cursor) as an image file, PNG or JPEG by
  // its name; false when nothing was presented or the file cannot be written.
  bool CaptureFrame(const TString& fileName);

  // Flips the statistics overlay; answers the previous state.
  bool ToggleStats();
  bool IsStatsOn() const { return mStatsOn; }
  float GetFps() const { return mFps; }
  // The overlay's text for the current numbers.
  TString FormatStats() const;

  TRendererSpanSink& GetSpanSink() { return mSpanSink; }
  // The rasteriser that text is drawn with (SetTextRasteriser), through the span sink:
  // made with its self-test on the first display start (StartTextRasteriser answers
  // whether it was made now) and kept until the renderer goes.
  bool StartTextRasteriser();
  TJxMiniVecDraw* GetVecDraw() const { return mVecDraw.get(); }

  // An empty render target that is read back, never drawn as a sprite (the frame capture,
  // the rasteriser's check); null without a display handler.
  static std::shared_ptr<TTextureBase> MakeRenderTarget(uint32_t width, uint32_t height);

 private:
  TRenderer();
  void DrawStats();
  void FillWithQuad(const TRect& rect, const TColor& colour);

  uint32_t mFrameIndex = 0;
  float mFps = 0.0f;
  uint32_t mFrameTimes[15] = {};
  bool mStatsOn = false;
  std::unique_ptr<TTextGraphic> mStatsText;
  std::shared_ptr<TTextureBase> mTexture;
  std::vector<TRect> mClipStack;
  bool mIn2d = false, mIn3d = false, mInDraw = false, mInRenderTarget = false;
  int64_t mPeakMemory = 0;
  TRendererSpanSink mSpanSink;
  std::unique_ptr<TJxMiniVecDraw> mVecDraw;

  friend struct std::default_delete<TRenderer>;
  ~TRenderer();
};

// The one rule for code that draws in 2D (windows, sprites, widgets): a 2D block that joins
// the pass already open (the window manager's frame opens one around the windows) without
// a word, else begins its own, and at the end of its scope ends only a pass it began. So a
// nested drawer never closes its caller's pass.
class TScoped2d {
 public:
  TScoped2d() {
    TRenderer* renderer = TRenderer::GetInstance();
    mEntered = !renderer->Is2d() && renderer->Begin2d();
  }
  ~TScoped2d() {
    if (mEntered) TRenderer::GetInstance()->End2d();
  }
  TScoped2d(const TScoped2d&) = delete;
  TScoped2d& operator=(const TScoped2d&) = delete;
  bool Entered() const { return mEntered; }

 private:
  bool mEntered = false;
};
