// The particle collection's two lists, and the 2D particle renderer's quads: size,
// orientation, colour, texture coordinates of plain and animated textures, the shared
// buffers, and the plain-vertex form.

#include <gtest/gtest.h>

#include "graphics/display/display_rig.h"
#include "graphics/particles/particle_collection.h"
#include "graphics/particles/particle_renderer.h"
#include "graphics/particles/particle_test_util.h"
#include "graphics/renderer.h"
#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/sprite_test_util.h"
#include "platform/settings.h"

namespace {

std::vector<int32_t> Live(const TParticleCollection& c) {
  std::vector<int32_t> out;
  for (int32_t i = c.FirstLive(); i != TParticleCollection::None; i = c.NextLive(i)) out.push_back(i);
  return out;
}

std::vector<int32_t> Free(const TParticleCollection& c) {
  std::vector<int32_t> out;
  for (int32_t i = c.FirstFree(); i != TParticleCollection::None; i = c.NextFree(i)) out.push_back(i);
  return out;
}

// A standard record: position, up, scale, colour, frame.
std::vector<float> Record(float x, float y, float scale = 1, TVec2 up = TVec2(0, -1), float frame = 0,
                          TColor colour = {1, 1, 1, 1}) {
  return {x, y, up.x, up.y, scale, colour.r, colour.g, colour.b, colour.a, frame};
}

// A collection holding the records, the first given the newest.
struct TParticles {
  explicit TParticles(const std::vector<std::vector<float>>& records, uint32_t capacity = 0) {
    collection.Init(capacity ? capacity : uint32_t(records.size()), ParticleStandardFloats);
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
      int32_t i = collection.TakeFree();
      std::copy(it->begin(), it->end(), collection.GetRecord(i));
    }
  }
  TParticleCollection collection;
};

struct TCorner {
  float x, y, u, v;
  uint32_t colour;
};

std::vector<TCorner> Corners(uint32_t count) {
  std::vector<TCorner> out;
  const TLVertex* v = T2dParticleRenderer::GetVertices();
  for (uint32_t i = 0; i < count; ++i) out.push_back({v[i].x, v[i].y, v[i].u, v[i].v, v[i].diffuse});
  return out;
}

void ExpectCorners(const std::vector<TCorner>& seen, const std::vector<std::array<float, 2>>& xy, const char* what) {
  ASSERT_EQ(seen.size(), xy.size()) << what;
  for (size_t i = 0; i < xy.size(); ++i) {
    EXPECT_FLOAT_EQ(seen[i].x, xy[i][0]) << what << " corner " << i;
    EXPECT_FLOAT_EQ(seen[i].y, xy[i][1]) << what << " corner " << i;
  }
}

}  // namespace

TEST(ParticleCollection, HandsOutTheLastRecordFirstAndRecyclesExpiredOnes) {
  TParticleCollection c;
  ASSERT_TRUE(c.Init(3, 4));
  EXPECT_EQ(Free(c), (std::vector<int32_t>{2, 1, 0}));
  EXPECT_EQ(c.TakeFree(), 2);
  EXPECT_EQ(c.TakeFree(), 1);
  EXPECT_EQ(c.TakeFree(), 0);
  EXPECT_EQ(c.TakeFree(), TParticleCollection::None);
  EXPECT_EQ(Live(c), (std::vector<int32_t>{0, 1, 2}));  // newest first
  EXPECT_EQ(c.Expire(1), 2);
  EXPECT_EQ(Live(c), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(Free(c), std::vector<int32_t>{1});
  EXPECT_EQ(c.GetLiveCount(), 2u);
  EXPECT_EQ(c.TakeFree(), 1);
  EXPECT_EQ(c.GetStride(), 16u);
  EXPECT_NE(c.GetRecord(2), c.GetRecord(1));

  EXPECT_TRUE(c.Init(0, 4));
  EXPECT_EQ(c.GetCapacity(), 0u);
  EXPECT_TRUE(Free(c).empty());
  EXPECT_FALSE(c.Init(uint32_t(1) << 30, 1000));  // refused, not wrapped
  EXPECT_EQ(c.GetCapacity(), 0u);
  float outside[8];
  ASSERT_TRUE(c.Init(2, 4, outside));
  EXPECT_EQ(c.GetRecord(1), outside + 4);
}

TEST(ParticleRenderer, QuadsAreSizedByTheTextureAndScaleAndTurnedByUp) {
  std::vector<TRecordingTexture::TDraw> draws;
  T2dParticleRenderer renderer;
  EXPECT_EQ(renderer.GetFrameSize().x, 1.0f);
  renderer.SetTexture(std::make_shared<TRecordingTexture>("t", 32, 16, &draws));

  TParticles upright({Record(50, 40, 2)});
  ASSERT_EQ(renderer.WriteVertices(TVec3(0, 0, 0.25f), 1, upright.collection), 4u);
  auto corners = Corners(4);
  ExpectCorners(corners, {{{18, 24}}, {{82, 24}}, {{18, 56}}, {{82, 56}}}, "upright");
  EXPECT_EQ(T2dParticleRenderer::GetVertices()[0].z, 0.25f);
  EXPECT_EQ(T2dParticleRenderer::GetVertices()[0].rhw, 0.5f);
  EXPECT_EQ((std::vector<float>{corners[0].u, corners[0].v, corners[3].u, corners[3].v}),
            (std::vector<float>{0, 0, 1, 1}));

  // Up along +x: the quad's width runs along y.
  TParticles turned({Record(50, 40, 1, TVec2(1, 0))});
  renderer.WriteVertices(TVec3(0, 0, 0), 1, turned.collection);
  ExpectCorners(Corners(4), {{{58, 24}}, {{58, 56}}, {{42, 24}}, {{42, 56}}}, "turned");

  // The origin moves every particle by its whole part less a half.
  renderer.WriteVertices(TVec3(10.7f, 20.2f, 0), 1, upright.collection);
  ExpectCorners(Corners(1), {{{28, 43}}}, "moved");
}

TEST(ParticleRenderer, WithoutTextureQuadsAreOnePixel) {
  T2dParticleRenderer renderer;
  TParticles p({Record(5, 5, 4)});
  renderer.WriteVertices(TVec3(0, 0, 0), 1, p.collection);
  ExpectCorners(Corners(4), {{{3, 3}}, {{7, 3}}, {{3, 7}}, {{7, 7}}}, "untextured");
}

TEST(ParticleRenderer, ColourAlphaIsScaledByTheSystemsAlpha) {
  T2dParticleRenderer renderer;
  TParticles p({Record(0, 0, 1, TVec2(0, -1), 0, {1, 0.5f, -2, 0.5f}), Record(0, 0, 1, TVec2(0, -1), 0, {3, 0, 0, 9})});
  renderer.WriteVertices(TVec3(0, 0, 0), 0.5f, p.collection);
  auto corners = Corners(8);
  EXPECT_EQ(corners[0].colour, MakeColor32(63, 255, 127, 0));
  EXPECT_EQ(corners[4].colour, MakeColor32(127, 255, 0, 0));  // clamped before packing
}

TEST(ParticleRenderer, IndexBufferAndPlainVerticesFollowTheCornerTables) {
  {
    T2dParticleRenderer renderer;
    TParticles p({Record(0, 0), Record(10, 0)}, 20000);
    renderer.WriteVertices(TVec3(0, 0, 0), 1, p.collection);
    EXPECT_GE(T2dParticleRenderer::GetVertexCapacity(), 4u * 40000u);
    const uint16_t* i = T2dParticleRenderer::GetIndices();
    EXPECT_EQ(std::vector<uint16_t>(i, i + 12), (std::vector<uint16_t>{0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6}));
    // 16-bit indices reach the last vertex of quad 16383 and no further.
    EXPECT_EQ(i[16383 * 6 + 4], 65535);
  }
  SetConfig("brokenindexedverts", "1");
  T2dParticleRenderer plain;
  ClearConfig();
  ASSERT_TRUE(plain.UsesPlainVertices());
  TParticles p({Record(50, 40, 2)});
  std::vector<TRecordingTexture::TDraw> draws;
  plain.SetTexture(std::make_shared<TRecordingTexture>("t", 32, 16, &draws));
  ASSERT_EQ(plain.WriteVertices(TVec3(0, 0, 0), 1, p.collection), 6u);
  auto corners = Corners(6);
  ExpectCorners(corners, {{{18, 24}}, {{82, 24}}, {{18, 56}}, {{82, 24}}, {{82, 56}}, {{18, 56}}}, "plain");
  EXPECT_EQ((std::vector<float>{corners[4].u, corners[4].v, corners[5].u, corners[5].v}),
            (std::vector<float>{1, 1, 0, 1}));
}

class ParticleRendererOnDisplay : public ::testing::Test {
 protected:
  ParticleRendererOnDisplay() { mRig.Window(64, 48); }
  TDisplayRig mRig;
};

TEST_F(ParticleRendererOnDisplay, AnimatedTexturesShowEachParticlesFrame) {
  auto walk = TAnimatedTexture::Get(GraphicsFixture("anim/walk.xml"));
  ASSERT_TRUE(walk);
  uint32_t sw = walk->GetData()->mSurfaceWidth, sh = walk->GetData()->mSurfaceHeight;
  float ox = float(walk->GetData()->mOffsetX), oy = float(walk->GetData()->mOffsetY);
  T2dParticleRenderer renderer;
  renderer.SetTexture(walk);
  EXPECT_EQ(renderer.GetFrameSize().x, 16.0f);
  TParticles p({Record(20, 20, 1, TVec2(0, -1), 1.7f), Record(20, 20, 1, TVec2(0, -1), 7)});
  renderer.WriteVertices(TVec3(0, 0, 0), 1, p.collection);
  auto corners = Corners(8);
  EXPECT_FLOAT_EQ(corners[0].u, (16 + ox) / float(sw));
  EXPECT_FLOAT_EQ(corners[3].u, (32 + ox) / float(sw));
  EXPECT_FLOAT_EQ(corners[3].v, (16 + oy) / float(sh));
  EXPECT_EQ((std::vector<float>{corners[4].u, corners[4].v, corners[7].u, corners[7].v}),
            (std::vector<float>{0, 0, 0, 0}));  // no such frame

  // With "animatedparticles" a frame keeps its place in the cell by its registration
  // point: frame 2 is registered a pixel higher than frame 0, so it is drawn a pixel lower.
  SetConfig("animatedparticles", "1");
  TParticles second({Record(20, 20, 1, TVec2(0, -1), 1)});
  renderer.WriteVertices(TVec3(0, 0, 0), 1, second.collection);
  ExpectCorners(Corners(4), {{{12, 13}}, {{28, 13}}, {{12, 29}}, {{28, 29}}}, "trimmed");
}

// Regression: the renderer of an animated texture wrote its frame's coordinates into the
// shared vertices, where a renderer of a plain texture took them for its own.
TEST_F(ParticleRendererOnDisplay, AnimatedTextureCoordinatesDoNotReachOtherEffects) {
  auto walk = TAnimatedTexture::Get(GraphicsFixture("anim/walk.xml"));
  auto spark = TTexture::Get(DemoEffect("spark.png"));
  ASSERT_TRUE(walk && spark);
  T2dParticleRenderer animated, plain;
  animated.SetTexture(walk);
  plain.SetTexture(spark);
  TParticles p({Record(20, 20, 1, TVec2(0, -1), 2)});
  animated.WriteVertices(TVec3(0, 0, 0), 1, p.collection);
  plain.WriteVertices(TVec3(0, 0, 0), 1, p.collection);
  const TTextureData& data = *spark->GetData();
  auto corners = Corners(4);
  EXPECT_FLOAT_EQ(corners[0].u, float(data.mOffsetX) / float(data.mSurfaceWidth));
  EXPECT_FLOAT_EQ(corners[3].u, float(data.mOffsetX + data.mWidth) / float(data.mSurfaceWidth));
  EXPECT_FLOAT_EQ(corners[3].v, float(data.mOffsetY + data.mHeight) / float(data.mSurfaceHeight));
}

TEST_F(ParticleRendererOnDisplay, RenderDrawsTexturedQuadsInTheBlendMode) {
  auto spark = TTexture::Get(DemoEffect("spark.png"));
  ASSERT_TRUE(spark);
  T2dParticleRenderer renderer;
  renderer.SetTexture(spark);
  renderer.SetOption("blendmode", TVec4(2.9f, 0, 0, 0));
  renderer.SetOption("other", TVec4(4, 0, 0, 0));
  EXPECT_EQ(renderer.GetBlendMode(), 2);
  TParticles p({Record(20.5f, 20.5f, 2), Record(40.5f, 20.5f, 1, TVec2(0, -1), 0, {1, 0, 0, 1})});
  TRenderer& r = *TRenderer::GetInstance();
  r.PushClipRect(TRect(0, 0, 64, 48));
  ASSERT_TRUE(r.BeginDraw(false));
  {
    TScoped2d block;
    r.FillRect(TRect(0, 0, 64, 48), TColor{0, 0, 0, 1});
    renderer.Render(TVec3(0, 0, 0), 1, p.collection);
  }
  r.EndDraw(true);
  uint32_t centre = mRig.Shown(20, 20);  // the glow's centre, added to black: grey
  EXPECT_EQ(centre & 0xFF, (centre >> 8) & 0xFF);
  EXPECT_EQ(centre & 0xFF, (centre >> 16) & 0xFF);
  EXPECT_GT(centre & 0xFF, 0x60u);
  EXPECT_EQ(mRig.Shown(40, 20) & 0xFFFF, 0u);           // the red one keeps only red
  EXPECT_GT(mRig.Shown(40, 20) & 0xFF0000, 0x800000u);
  EXPECT_EQ(mRig.Shown(5, 40), 0xFF000000u);
}
