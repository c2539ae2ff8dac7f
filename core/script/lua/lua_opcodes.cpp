// Names, formats and mode flags of the instructions (used by the code checker and debug info).
#include "script/lua/lua_opcodes.h"

namespace tlua {

namespace {
constexpr int T = kModeT, B = kModeB, Bk = kModeBk, Ck = kModeCk, SA = kModeSA, K = kModeK;
}

const OpInfo kOpInfo[kNumOpcodes] = {
    {"MOVE", kABC, B | SA},          {"LOADK", kABx, SA | K},        {"LOADBOOL", kABC, SA},
    {"LOADNIL", kABC, B | SA},       {"GETUPVAL", kABC, SA},          {"GETGLOBAL", kABx, SA | K},
    {"GETTABLE", kABC, B | Ck | SA}, {"SETGLOBAL", kABx, K},          {"SETUPVAL", kABC, 0},
    {"SETTABLE", kABC, Bk | Ck},     {"NEWTABLE", kABC, SA},          {"SELF", kABC, B | Ck | SA},
    {"ADD", kABC, Bk | Ck | SA},     {"SUB", kABC, Bk | Ck | SA},     {"MUL", kABC, Bk | Ck | SA},
    {"DIV", kABC, Bk | Ck | SA},     {"BAND", kABC, Bk | Ck | SA},    {"BOR", kABC, Bk | Ck | SA},
    {"SHL", kABC, Bk | Ck | SA},     {"SHR", kABC, Bk | Ck | SA},     {"POW", kABC, Bk | Ck | SA},
    {"UNM", kABC, B | SA},           {"NOT", kABC, B | SA},           {"CONCAT", kABC, B | Ck | SA},
    {"JMP", kAsBx, 0},               {"EQ", kABC, T | Bk | Ck},       {"LT", kABC, T | Bk | Ck},
    {"LE", kABC, T | Bk | Ck},       {"TEST", kABC, T | B | SA},      {"CALL", kABC, 0},
    {"TAILCALL", kABC, 0},           {"RETURN", kABC, 0},             {"FORLOOP", kAsBx, 0},
    {"TFORLOOP", kABC, T},           {"TFORPREP", kAsBx, 0},          {"SETLIST", kABx, 0},
    {"SETLISTO", kABx, 0},           {"CLOSE", kABC, 0},              {"CLOSURE", kABx, SA},
};

}  // namespace tlua
