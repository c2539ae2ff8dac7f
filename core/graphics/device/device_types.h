// Types, constants and result codes of the software device. The names follow the
// Direct3D 7 / DirectDraw 7 vocabulary the display code is written in, so that code
// reads the same as it would on that API; values are the published ones.
#pragma once

#include <cstdint>

using TDevResult = int32_t;

constexpr TDevResult DevCode(uint32_t code) { return static_cast<TDevResult>(0x88760000u | code); }
constexpr bool DevFailed(TDevResult r) { return r < 0; }
constexpr bool DevSucceeded(TDevResult r) { return r >= 0; }

constexpr TDevResult DD_OK = 0;
constexpr TDevResult D3D_OK = 0;
constexpr TDevResult DD_FALSE = 1;
constexpr TDevResult E_FAIL_RESULT = static_cast<TDevResult>(0x80004005u);
constexpr TDevResult E_POINTER_RESULT = static_cast<TDevResult>(0x80004003u);
constexpr TDevResult DDERR_GENERIC = E_FAIL_RESULT;
constexpr TDevResult DDERR_INVALIDPARAMS = static_cast<TDevResult>(0x80070057u);
constexpr TDevResult DDERR_OUTOFMEMORY = static_cast<TDevResult>(0x8007000Eu);
constexpr TDevResult DDERR_UNSUPPORTED = static_cast<TDevResult>(0x80004001u);
constexpr TDevResult DDERR_CURRENTLYNOTAVAIL = DevCode(40);
constexpr TDevResult DDERR_INVALIDMODE = DevCode(120);
constexpr TDevResult DDERR_INVALIDOBJECT = DevCode(130);
constexpr TDevResult DDERR_INVALIDPIXELFORMAT = DevCode(145);
constexpr TDevResult DDERR_INVALIDRECT = DevCode(150);
constexpr TDevResult DDERR_NOEXCLUSIVEMODE = DevCode(225);
constexpr TDevResult DDERR_NOTFOUND = DevCode(255);
constexpr TDevResult DDERR_OUTOFVIDEOMEMORY = DevCode(380);
constexpr TDevResult DDERR_SURFACEBUSY = DevCode(430);
constexpr TDevResult DDERR_SURFACELOST = DevCode(450);
constexpr TDevResult DDERR_WASSTILLDRAWING = DevCode(540);
constexpr TDevResult DDERR_NOPALETTEATTACHED = DevCode(572);
constexpr TDevResult DDERR_EXCLUSIVEMODEALREADYSET = DevCode(581);
constexpr TDevResult DDERR_NOTFLIPPABLE = DevCode(582);
constexpr TDevResult DDERR_NOTLOCKED = DevCode(584);
constexpr TDevResult DDERR_WRONGMODE = DevCode(587);
constexpr TDevResult D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY = DevCode(746);
constexpr TDevResult D3DERR_ZBUFF_NEEDS_VIDEOMEMORY = DevCode(747);
constexpr TDevResult D3DERR_SCENE_IN_SCENE = DevCode(760);
constexpr TDevResult D3DERR_SCENE_NOT_IN_SCENE = DevCode(761);
constexpr TDevResult D3DERR_SCENE_BEGIN_FAILED = DevCode(762);
constexpr TDevResult D3DERR_SCENE_END_FAILED = DevCode(763);

struct TDevRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

// ---- Surface description -------------------------------------------------------
// Surface capabilities (DDSCAPS_*).
constexpr uint32_t DDSCAPS_BACKBUFFER = 0x00000004;
constexpr uint32_t DDSCAPS_COMPLEX = 0x00000008;
constexpr uint32_t DDSCAPS_FLIP = 0x00000010;
constexpr uint32_t DDSCAPS_FRONTBUFFER = 0x00000020;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
constexpr uint32_t DDSCAPS_TEXTURE = 0x00001000;
constexpr uint32_t DDSCAPS_3DDEVICE = 0x00002000;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x00004000;
constexpr uint32_t DDSCAPS_ZBUFFER = 0x00020000;
constexpr uint32_t DDSCAPS_MIPMAP = 0x00400000;  // with DDSCAPS_COMPLEX: a texture with its smaller levels
constexpr uint32_t DDSCAPS2_ENABLEALPHACHANNEL = 0x00000400;  // caps2

// Pixel-format flags (DDPF_*).
constexpr uint32_t DDPF_ALPHAPIXELS = 0x00000001;
constexpr uint32_t DDPF_RGB = 0x00000040;
constexpr uint32_t DDPF_ZBUFFER = 0x00000400;
constexpr uint32_t DDPF_LUMINANCE = 0x00020000;

// Description flags (DDSD_*): which fields of a TDevSurfaceDesc are set.
constexpr uint32_t DDSD_CAPS = 0x00000001;
constexpr uint32_t DDSD_HEIGHT = 0x00000002;
constexpr uint32_t DDSD_WIDTH = 0x00000004;
constexpr uint32_t DDSD_PITCH = 0x00000008;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x00000020;
constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000;
constexpr uint32_t DDSD_MIPMAPCOUNT = 0x00020000;

struct TPixelFormat {
  uint32_t flags = 0;     // DDPF_*
  uint32_t bitCount = 0;  // bits per pixel (or z depth)
  uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;  // zBufferMask in redMask for DDPF_ZBUFFER
  bool operator==(const TPixelFormat& o) const {
    return flags == o.flags && bitCount == o.bitCount && redMask == o.redMask && greenMask == o.greenMask &&
           blueMask == o.blueMask && alphaMask == o.alphaMask;
  }
  bool operator!=(const TPixelFormat& o) const { return !(*this == o); }
};

struct TDevSurfaceDesc {
  uint32_t flags = 0;  // DDSD_*
  uint32_t width = 0, height = 0;
  int32_t pitch = 0;   // bytes per row
  uint32_t backBufferCount = 0;
  // Levels of a mip-mapped texture, its own included; without DDSD_MIPMAPCOUNT a new one
  // gets levels down to one texel.
  uint32_t mipMapCount = 0;
  TPixelFormat pixelFormat;
  uint32_t caps = 0;   // DDSCAPS_*
  uint32_t caps2 = 0;  // DDSCAPS2_*
  void* surface = nullptr;  // set by Lock: the first pixel of the locked rectangle
};

// Blit flags and effects.
constexpr uint32_t DDBLT_COLORFILL = 0x00000400;
constexpr uint32_t DDBLT_DDFX = 0x00000800;
constexpr uint32_t DDBLT_WAIT = 0x01000000;
constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x00000000;
constexpr uint32_t DDBLTFAST_WAIT = 0x00000010;
constexpr uint32_t DDBLTFX_NOTEARING = 0x00000008;
struct TDevBltFx {
  uint32_t ddfx = 0;       // DDBLTFX_*
  uint32_t fillColor = 0;  // in the destination's pixel format
};

constexpr uint32_t DDLOCK_WAIT = 0x00000001;
constexpr uint32_t DDLOCK_READONLY = 0x00000010;
constexpr uint32_t DDLOCK_WRITEONLY = 0x00000020;
constexpr uint32_t DDGBS_CANBLT = 0x00000001;
constexpr uint32_t DDGBS_ISBLTDONE = 0x00000002;
constexpr uint32_t DDGFS_CANFLIP = 0x00000001;
constexpr uint32_t DDGFS_ISFLIPDONE = 0x00000002;
constexpr uint32_t DDFLIP_WAIT = 0x00000001;
constexpr uint32_t DDWAITVB_BLOCKBEGIN = 0x00000001;

// Cooperative levels.
constexpr uint32_t DDSCL_FULLSCREEN = 0x00000001;
constexpr uint32_t DDSCL_NORMAL = 0x00000008;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x00000010;
constexpr uint32_t DDSCL_FPUPRESERVE = 0x00001000;

constexpr uint32_t DDCKEYCAPS_SRCBLT = 0x00000200;

// Render depth bits of a device description.
constexpr uint32_t DDBD_8 = 0x00000800;
constexpr uint32_t DDBD_16 = 0x00000400;
constexpr uint32_t DDBD_24 = 0x00000200;
constexpr uint32_t DDBD_32 = 0x00000100;

// ---- Direct3D side ---------------------------------------------------------------
enum D3DPRIMITIVETYPE : uint32_t {
  D3DPT_POINTLIST = 1, D3DPT_LINELIST = 2, D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4, D3DPT_TRIANGLESTRIP = 5, D3DPT_TRIANGLEFAN = 6,
};

enum D3DTRANSFORMSTATETYPE : uint32_t { D3DTRANSFORMSTATE_WORLD = 1, D3DTRANSFORMSTATE_VIEW = 2, D3DTRANSFORMSTATE_PROJECTION = 3 };

enum D3DRENDERSTATETYPE : uint32_t {
  D3DRENDERSTATE_ANTIALIAS = 2,
  D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4,
  D3DRENDERSTATE_ZENABLE = 7,
  D3DRENDERSTATE_FILLMODE = 8,
  D3DRENDERSTATE_SHADEMODE = 9,
  D3DRENDERSTATE_ZWRITEENABLE = 14,
  D3DRENDERSTATE_ALPHATESTENABLE = 15,
  D3DRENDERSTATE_LASTPIXEL = 16,
  D3DRENDERSTATE_SRCBLEND = 19,
  D3DRENDERSTATE_DESTBLEND = 20,
  D3DRENDERSTATE_CULLMODE = 22,
  D3DRENDERSTATE_ZFUNC = 23,
  D3DRENDERSTATE_ALPHAREF = 24,
  D3DRENDERSTATE_ALPHAFUNC = 25,
  D3DRENDERSTATE_DITHERENABLE = 26,
  D3DRENDERSTATE_ALPHABLENDENABLE = 27,
  D3DRENDERSTATE_FOGENABLE = 28,
  D3DRENDERSTATE_SPECULARENABLE = 29,
  D3DRENDERSTATE_TEXTUREFACTOR = 60,
  D3DRENDERSTATE_WRAP0 = 128,
  D3DRENDERSTATE_CLIPPING = 136,
  D3DRENDERSTATE_LIGHTING = 137,
  D3DRENDERSTATE_AMBIENT = 139,
  D3DRENDERSTATE_COLORVERTEX = 141,
  D3DRENDERSTATE_NORMALIZENORMALS = 143,
  D3DRENDERSTATE_DIFFUSEMATERIALSOURCE = 145,
  D3DRENDERSTATE_SPECULARMATERIALSOURCE = 146,
  D3DRENDERSTATE_AMBIENTMATERIALSOURCE = 147,
  D3DRENDERSTATE_EMISSIVEMATERIALSOURCE = 148,
};
constexpr uint32_t DevRenderStateCount = 256;

enum D3DTEXTURESTAGESTATETYPE : uint32_t {
  D3DTSS_COLOROP = 1, D3DTSS_COLORARG1 = 2, D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4, D3DTSS_ALPHAARG1 = 5, D3DTSS_ALPHAARG2 = 6,
  D3DTSS_TEXCOORDINDEX = 11, D3DTSS_ADDRESS = 12, D3DTSS_ADDRESSU = 13, D3DTSS_ADDRESSV = 14,
  D3DTSS_BORDERCOLOR = 15, D3DTSS_MAGFILTER = 16, D3DTSS_MINFILTER = 17, D3DTSS_MIPFILTER = 18,
};
constexpr uint32_t DevStageStateCount = 32;
constexpr uint32_t DevStageCount = 8;

enum D3DTEXTUREOP : uint32_t {
  D3DTOP_DISABLE = 1, D3DTOP_SELECTARG1 = 2, D3DTOP_SELECTARG2 = 3, D3DTOP_MODULATE = 4,
};
// Texture arguments (D3DTA_*).
constexpr uint32_t D3DTA_SELECTMASK = 0x0000000F;
constexpr uint32_t D3DTA_DIFFUSE = 0x00000000;
constexpr uint32_t D3DTA_CURRENT = 0x00000001;
constexpr uint32_t D3DTA_TEXTURE = 0x00000002;
constexpr uint32_t D3DTA_TFACTOR = 0x00000003;
constexpr uint32_t D3DTA_SPECULAR = 0x00000004;
constexpr uint32_t D3DTA_COMPLEMENT = 0x00000010;
constexpr uint32_t D3DTA_ALPHAREPLICATE = 0x00000020;

enum D3DTEXTUREADDRESS : uint32_t { D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR = 2, D3DTADDRESS_CLAMP = 3, D3DTADDRESS_BORDER = 4 };
enum D3DTEXTUREMAGFILTER : uint32_t { D3DTFG_POINT = 1, D3DTFG_LINEAR = 2 };
enum D3DTEXTUREMINFILTER : uint32_t { D3DTFN_POINT = 1, D3DTFN_LINEAR = 2 };
enum D3DTEXTUREMIPFILTER : uint32_t { D3DTFP_NONE = 1, D3DTFP_POINT = 2, D3DTFP_LINEAR = 3 };

enum D3DBLEND : uint32_t {
  D3DBLEND_ZERO = 1, D3DBLEND_ONE = 2, D3DBLEND_SRCCOLOR = 3, D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5, D3DBLEND_INVSRCALPHA = 6, D3DBLEND_DESTALPHA = 7, D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9, D3DBLEND_INVDESTCOLOR = 10,
};
enum D3DCULL : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DCMPFUNC : uint32_t {
  D3DCMP_NEVER = 1, D3DCMP_LESS = 2, D3DCMP_EQUAL = 3, D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5, D3DCMP_NOTEQUAL = 6, D3DCMP_GREATEREQUAL = 7, D3DCMP_ALWAYS = 8,
};
enum D3DSHADEMODE : uint32_t { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
enum D3DMATERIALCOLORSOURCE : uint32_t { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };
enum D3DANTIALIASMODE : uint32_t { D3DANTIALIAS_NONE = 0, D3DANTIALIAS_SORTDEPENDENT = 1, D3DANTIALIAS_SORTINDEPENDENT = 2 };

constexpr uint32_t D3DCLEAR_TARGET = 0x1;
constexpr uint32_t D3DCLEAR_ZBUFFER = 0x2;
constexpr uint32_t D3DCLEAR_STENCIL = 0x4;

// Vertex formats (D3DFVF_*) and the three 32-byte layouts the engine draws with.
constexpr uint32_t D3DFVF_XYZ = 0x002;
constexpr uint32_t D3DFVF_XYZRHW = 0x004;
constexpr uint32_t D3DFVF_NORMAL = 0x010;
constexpr uint32_t D3DFVF_RESERVED1 = 0x020;
constexpr uint32_t D3DFVF_DIFFUSE = 0x040;
constexpr uint32_t D3DFVF_SPECULAR = 0x080;
constexpr uint32_t D3DFVF_TEX1 = 0x100;
constexpr uint32_t DevFvfLitXyz = D3DFVF_XYZ | D3DFVF_RESERVED1 | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;  // 0x1E2
constexpr uint32_t DevFvfTransformed = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;          // 0x1C4
constexpr uint32_t DevFvfNormal = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;                                     // 0x112

struct TDevVertexLitXyz { float x, y, z, reserved; uint32_t diffuse, specular; float u, v; };
struct TDevVertexTransformed { float x, y, z, rhw; uint32_t diffuse, specular; float u, v; };
struct TDevVertexNormal { float x, y, z, nx, ny, nz, u, v; };
static_assert(sizeof(TDevVertexLitXyz) == 32 && sizeof(TDevVertexTransformed) == 32 && sizeof(TDevVertexNormal) == 32,
              "vertex layouts are 32 bytes");

// Row-vector matrix: a point is transformed as v * M; m[r][c] is the element _rc with 1-based r, c.
struct TDevMatrix {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};
TDevMatrix DevMultiply(const TDevMatrix& a, const TDevMatrix& b);

struct TDevColorValue { float r = 0, g = 0, b = 0, a = 0; };
struct TDevMaterial {
  TDevColorValue diffuse, ambient, specular, emissive;
  float power = 0;
};
struct TDevViewport {
  uint32_t x = 0, y = 0, width = 0, height = 0;
  float minZ = 0.0f, maxZ = 1.0f;
};

// Device capability bits.
constexpr uint32_t D3DDEVCAPS_SEPARATETEXTUREMEMORIES = 0x00004000;
constexpr uint32_t D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x00010000;
constexpr uint32_t D3DDEVCAPS_HWRASTERIZATION = 0x00080000;
constexpr uint32_t D3DPSHADECAPS_COLORGOURAUDRGB = 0x00000008;
constexpr uint32_t D3DPSHADECAPS_SPECULARGOURAUDRGB = 0x00000200;
constexpr uint32_t D3DPTEXTURECAPS_POW2 = 0x00000002;
constexpr uint32_t D3DPTEXTURECAPS_SQUAREONLY = 0x00000020;
constexpr uint32_t D3DPRASTERCAPS_ANTIALIASSORTINDEPENDENT = 0x00000800;

struct TDevGuid {
  uint32_t words[4] = {0, 0, 0, 0};
  bool operator==(const TDevGuid& o) const {
    return words[0] == o.words[0] && words[1] == o.words[1] && words[2] == o.words[2] && words[3] == o.words[3];
  }
};

struct TDevPrimCaps {
  uint32_t shadeCaps = 0;    // D3DPSHADECAPS_*
  uint32_t textureCaps = 0;  // D3DPTEXTURECAPS_*
  uint32_t rasterCaps = 0;   // D3DPRASTERCAPS_*
};

struct TDevDeviceDesc {
  uint32_t devCaps = 0;  // D3DDEVCAPS_*
  TDevPrimCaps lineCaps, triCaps;
  uint32_t renderBitDepth = 0;   // DDBD_*
  uint32_t zBufferBitDepth = 0;  // DDBD_*
  uint32_t minTextureWidth = 1, minTextureHeight = 1;
  uint32_t maxTextureWidth = 0, maxTextureHeight = 0;
  uint32_t maxTextureAspectRatio = 0;
  TDevGuid deviceGuid;
  char description[64] = {};
  char name[32] = {};
};

struct TDevDisplayMode {
  uint32_t width = 0, height = 0, bitsPerPixel = 0, refreshRate = 0;
};

struct TDevIdentifier {
  char driver[512] = {};
  char description[512] = {};
  uint32_t driverVersionHigh = 0, driverVersionLow = 0;
  uint32_t vendorId = 0, deviceId = 0, subSysId = 0, revision = 0;
  TDevGuid deviceIdentifier;
};

struct TDevDrawCaps {
  uint32_t caps = 0;
  uint32_t colorKeyCaps = 0;  // DDCKEYCAPS_*
  uint32_t totalVideoMemory = 0;
  uint32_t freeVideoMemory = 0;
};
