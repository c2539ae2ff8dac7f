// Precompiled chunks: writing (dump) and reading (undump) the 5.0.2 format with the
// dialect's wide-string constants. Every loaded chunk passes the code checker.
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "script/lua/lua_lexer.h"
#include "script/lua/lua_opcodes.h"

namespace tlua {

namespace {

constexpr unsigned char kSignature[] = {0x1B, 'L', 'u', 'a'};
constexpr int kVersion = 0x50;
constexpr double kTestNumber = 31415926.535897933;
constexpr int kMaxNesting = 200;  // functions inside functions; deeper only in hostile chunks

int HostEndianness() {
  int x = 1;
  return *reinterpret_cast<char*>(&x);
}

// ---- dump

class Dumper {
 public:
  Dumper(lua_State* L, lua_Chunkwriter w, void* data, bool strip) : mL(L), mWriter(w), mData(data), mStrip(strip) {}

  void Header() {
    Block(kSignature, sizeof kSignature);
    Byte(kVersion);
    Byte(HostEndianness());
    Byte(4);  // int
    Byte(4);  // size_t, kept at 4 bytes on every host
    Byte(4);  // Instruction
    Byte(kSizeOp);
    Byte(kSizeA);
    Byte(kSizeB);
    Byte(kSizeC);
    Byte(sizeof(double));
    Number(kTestNumber);
  }

  void Function(const LProto* f, const LString* parentSource) {
    String(f->source == parentSource ? nullptr : f->source);
    Int(f->lineDefined);
    Byte(f->nups);
    Byte(f->numparams);
    Byte(f->isVararg);
    Byte(f->maxstacksize);
    int nlines = mStrip ? 0 : f->sizelineinfo;
    Int(nlines);
    for (int i = 0; i < nlines; i++) Int(f->lineinfo[i]);
    int nlocvars = mStrip ? 0 : f->sizelocvars;
    Int(nlocvars);
    for (int i = 0; i < nlocvars; i++) {
      String(f->locvars[i].name);
      Int(f->locvars[i].startpc);
      Int(f->locvars[i].endpc);
    }
    int nupnames = mStrip ? 0 : f->sizeupvalues;
    Int(nupnames);
    for (int i = 0; i < nupnames; i++) String(f->upvalues[i]);
    Int(f->sizek);
    for (int i = 0; i < f->sizek; i++) {
      const Value* o = &f->k[i];
      Byte(o->tt);
      switch (o->tt) {
        case TNumber: Number(NValue(o)); break;
        case TString: String(SValue(o)); break;
        case TWString: WString(SValue(o)); break;
        default: break;
      }
    }
    Int(f->sizep);
    for (int i = 0; i < f->sizep; i++) Function(f->p[i], f->source);
    Int(f->sizecode);
    for (int i = 0; i < f->sizecode; i++) Block(&f->code[i], 4);
  }

 private:
  void Block(const void* b, size_t n) { mWriter(mL, b, n, mData); }
  void Byte(int b) {
    unsigned char c = static_cast<unsigned char>(b);
    Block(&c, 1);
  }
  void Int(int x) {
    int32_t v = x;
    Block(&v, 4);
  }
  void Size(size_t x) {
    uint32_t v = uint32_t(x);
    Block(&v, 4);
  }
  void Number(double x) { Block(&x, sizeof x); }
  void String(const LString* s) {
    if (s == nullptr) {
      Size(0);
      return;
    }
    Size(s->len + 1);
    Block(s->Data(), s->len + 1);
  }
  void WString(const LString* s) {
    Size(s->len + 1);
    Block(s->WData(), 2 * (s->len + 1));
  }

  lua_State* mL;
  lua_Chunkwriter mWriter;
  void* mData;
  bool mStrip;
};

// ---- undump

class Loader {
 public:
  Loader(lua_State* L, ChunkStream* z, const char* name) : mL(L), mZ(z) {
    if (*name == '@' || *name == '=')
      mName = name + 1;
    else if (*name == 0x1B)
      mName = "binary string";
    else
      mName = name;
  }

  void Header() {
    for (unsigned char c : kSignature)
      if (Byte() != c) RunError(mL, "bad signature in %s", mName.c_str());
    int version = Byte();
    if (version > kVersion)
      RunError(mL, "%s too new: read version %d.%d; expected at most %d.%d", mName.c_str(), version >> 4, version & 15,
               kVersion >> 4, kVersion & 15);
    if (version < kVersion)
      RunError(mL, "%s too old: read version %d.%d; expected at least %d.%d", mName.c_str(), version >> 4,
               version & 15, kVersion >> 4, kVersion & 15);
    mSwap = Byte() != HostEndianness();
    TestSize(4, "int");
    TestSize(4, "size_t");
    TestSize(4, "Instruction");
    TestSize(kSizeOp, "OP");
    TestSize(kSizeA, "A");
    TestSize(kSizeB, "B");
    TestSize(kSizeC, "C");
    TestSize(sizeof(double), "number");
    double x = Number();
    // The number's integer part must read back; compared as a range, since converting an
    // arbitrary double from the file to an integer is undefined.
    if (!(x >= 31415926.0 && x < 31415927.0)) RunError(mL, "unknown number format in %s", mName.c_str());
  }

  LProto* Function(LString* parentSource, int depth) {
    if (depth > kMaxNesting) BadCode();
    LProto* f = NewProto(mL);
    f->source = String();
    if (f->source == nullptr) f->source = parentSource;
    if (f->source == nullptr) f->source = NewStr(mL, "=?");
    f->lineDefined = Int();
    f->nups = uint8_t(Byte());
    f->numparams = uint8_t(Byte());
    f->isVararg = uint8_t(Byte());
    f->maxstacksize = uint8_t(Byte());
    LoadArray(f->lineinfo, f->sizelineinfo, [this](int* out) { *out = Int(); });
    LoadArray(f->locvars, f->sizelocvars, [this](LocVar* out) {
      out->name = nullptr;
      out->startpc = out->endpc = 0;
      out->name = String();
      if (out->name == nullptr) BadCode();
      out->startpc = Int();
      out->endpc = Int();
    });
    int n = Int();
    if (n != 0 && n != f->nups) RunError(mL, "bad nupvalues in %s: read %d; expected %d", mName.c_str(), n, f->nups);
    f->sizeupvalues = 0;
    LoadCounted(n, f->upvalues, f->sizeupvalues, [this](LString** out) {
      *out = nullptr;
      *out = String();
      if (*out == nullptr) BadCode();
    });
    LoadArray(f->k, f->sizek, [this](Value* out) {
      SetNil(out);
      int t = Byte();
      switch (t) {
        case TNumber: SetNumber(out, Number()); break;
        case TString: {
          LString* s = String();
          if (s == nullptr) BadCode();
          SetString(out, s);
          break;
        }
        case TWString: {
          LString* s = WString();
          if (s == nullptr) BadCode();
          SetString(out, s);
          break;
        }
        case TNil: break;
        default: RunError(mL, "bad constant type (%d) in %s", t, mName.c_str());
      }
    });
    LoadArray(f->p, f->sizep, [this, f, depth](LProto** out) {
      *out = nullptr;
      *out = Function(f->source, depth + 1);
    });
    LoadArray(f->code, f->sizecode, [this](Instr* out) { *out = Instr(Int32()); });
    return f;
  }

  [[noreturn]] void BadCode() { RunError(mL, "bad code in %s", mName.c_str()); }

 private:
  void Read(void* b, size_t n) {
    if (!mZ->Read(b, n)) RunError(mL, "unexpected end of file in %s", mName.c_str());
  }
  int Byte() {
    unsigned char c;
    Read(&c, 1);
    return c;
  }
  void ReadSwapped(void* b, size_t n) {
    Read(b, n);
    if (mSwap) {
      unsigned char* p = static_cast<unsigned char*>(b);
      for (size_t i = 0; i < n / 2; i++) std::swap(p[i], p[n - 1 - i]);
    }
  }
  int32_t Int32() {
    int32_t x;
    ReadSwapped(&x, 4);
    return x;
  }
  int Int() {
    int32_t x = Int32();
    if (x < 0) RunError(mL, "bad integer in %s", mName.c_str());
    return x;
  }
  uint32_t Size() {
    uint32_t x;
    ReadSwapped(&x, 4);
    return x;
  }
  double Number() {
    double x;
    ReadSwapped(&x, sizeof x);
    return x;
  }
  void TestSize(int s, const char* what) {
    int r = Byte();
    if (r != s)
      RunError(mL, "virtual machine mismatch in %s: size of %s is %d but read %d", mName.c_str(), what, s, r);
  }
  LString* String() {
    uint32_t size = Size();
    if (size == 0) return nullptr;
    // read in pieces so that a lying size costs no more memory than the data present
    mText.clear();
    char piece[4096];
    for (uint32_t left = size; left > 0;) {
      uint32_t m = left < sizeof piece ? left : uint32_t(sizeof piece);
      Read(piece, m);
      mText.append(piece, m);
      left -= m;
    }
    return NewLStr(mL, mText.data(), size - 1);
  }
  LString* WString() {
    uint32_t size = Size();
    if (size == 0) return nullptr;
    mWide.clear();
    for (uint32_t i = 0; i < size; i++) {
      uint16_t u;
      ReadSwapped(&u, 2);
      mWide.push_back(u);
    }
    return NewLWStr(mL, mWide.data(), size - 1);
  }
  // Reads a count and that many elements, growing the array as data arrives.
  template <typename T, typename F>
  void LoadArray(T*& a, int& size, F readOne) {
    int n = Int();
    LoadCounted(n, a, size, readOne);
  }
  template <typename T, typename F>
  void LoadCounted(int n, T*& a, int& size, F readOne) {
    for (int i = 0; i < n; i++) {
      if (i == size) {
        int newSize = size == 0 ? (n < 64 ? n : 64) : (size > n / 2 ? n : size * 2);
        ResizeArray(mL, a, size, newSize);
        for (int j = size; j < newSize; j++) new (&a[j]) T();
        size = newSize;
      }
      readOne(&a[i]);
    }
  }

  lua_State* mL;
  ChunkStream* mZ;
  std::string mName;
  bool mSwap = false;
  std::string mText;
  std::vector<lua_WChar> mWide;
};

}  // namespace

LProto* Undump(lua_State* L, ChunkStream* z, const char* name) {
  Loader loader(L, z, name);
  loader.Header();
  LProto* f = loader.Function(nullptr, 0);
  if (!CheckCode(f)) loader.BadCode();
  return f;
}

int Dump(lua_State* L, const LProto* f, lua_Chunkwriter w, void* data, bool strip) {
  Dumper d(L, w, data, strip);
  d.Header();
  d.Function(f, nullptr);
  return 1;
}

}  // namespace tlua
