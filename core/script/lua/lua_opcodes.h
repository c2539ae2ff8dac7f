// The instruction word (6-bit opcode, 8-bit A, 9-bit B and C, 18-bit Bx) and the
// dialect's 39 instructions with their mode flags.
#pragma once

#include "script/lua/lua_object.h"

namespace tlua {

enum OpCode : int {
  OP_MOVE, OP_LOADK, OP_LOADBOOL, OP_LOADNIL, OP_GETUPVAL, OP_GETGLOBAL, OP_GETTABLE,
  OP_SETGLOBAL, OP_SETUPVAL, OP_SETTABLE, OP_NEWTABLE, OP_SELF,
  OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_BAND, OP_BOR, OP_SHL, OP_SHR, OP_POW,
  OP_UNM, OP_NOT, OP_CONCAT, OP_JMP, OP_EQ, OP_LT, OP_LE, OP_TEST,
  OP_CALL, OP_TAILCALL, OP_RETURN, OP_FORLOOP, OP_TFORLOOP, OP_TFORPREP,
  OP_SETLIST, OP_SETLISTO, OP_CLOSE, OP_CLOSURE,
  kNumOpcodes
};

constexpr int kSizeC = 9, kSizeB = 9, kSizeBx = kSizeC + kSizeB, kSizeA = 8, kSizeOp = 6;
constexpr int kPosC = kSizeOp, kPosB = kPosC + kSizeC, kPosBx = kPosC, kPosA = kPosB + kSizeB;
constexpr int kMaxArgA = (1 << kSizeA) - 1;
constexpr int kMaxArgB = (1 << kSizeB) - 1;
constexpr int kMaxArgC = (1 << kSizeC) - 1;
constexpr int kMaxArgBx = (1 << kSizeBx) - 1;
constexpr int kMaxArgSBx = kMaxArgBx >> 1;
constexpr int kNoReg = kMaxArgA;
constexpr int kNoJump = -1;

inline OpCode GetOp(Instr i) { return OpCode(i & 0x3F); }
inline int GetA(Instr i) { return int(i >> kPosA); }
inline int GetB(Instr i) { return int((i >> kPosB) & kMaxArgB); }
inline int GetC(Instr i) { return int((i >> kPosC) & kMaxArgC); }
inline int GetBx(Instr i) { return int((i >> kPosBx) & kMaxArgBx); }
inline int GetSBx(Instr i) { return GetBx(i) - kMaxArgSBx; }

inline void SetOp(Instr& i, OpCode o) { i = (i & ~Instr(0x3F)) | Instr(o); }
inline void SetA(Instr& i, int a) { i = (i & ~(Instr(kMaxArgA) << kPosA)) | (Instr(a) << kPosA); }
inline void SetB(Instr& i, int b) { i = (i & ~(Instr(kMaxArgB) << kPosB)) | (Instr(b) << kPosB); }
inline void SetC(Instr& i, int c) { i = (i & ~(Instr(kMaxArgC) << kPosC)) | (Instr(c) << kPosC); }
inline void SetBx(Instr& i, int b) { i = (i & ~(Instr(kMaxArgBx) << kPosBx)) | (Instr(b) << kPosBx); }
inline void SetSBx(Instr& i, int b) { SetBx(i, b + kMaxArgSBx); }

inline Instr CreateABC(OpCode o, int a, int b, int c) {
  return Instr(o) | (Instr(a) << kPosA) | (Instr(b) << kPosB) | (Instr(c) << kPosC);
}
inline Instr CreateABx(OpCode o, int a, int bc) { return Instr(o) | (Instr(a) << kPosA) | (Instr(bc) << kPosBx); }

// A register-or-constant operand names a constant when it is at least kMaxStack.
inline bool IsK(int x) { return x >= kMaxStack; }
constexpr int kMaxIndexRK = kMaxArgB - kMaxStack;

enum OpFormat { kABC, kABx, kAsBx };

enum OpModeBit {
  kModeT = 1,    // a test: the next instruction is a jump
  kModeB = 2,    // B is a register
  kModeBk = 4,   // B is a register or constant
  kModeCk = 8,   // C is a register or constant
  kModeSA = 16,  // sets register A
  kModeK = 32,   // Bx is a constant
};

struct OpInfo {
  const char* name;
  OpFormat format;
  int modes;
};

extern const OpInfo kOpInfo[kNumOpcodes];

inline bool TestMode(OpCode o, int m) { return (kOpInfo[o].modes & m) != 0; }

}  // namespace tlua
