// The Lua window API: the bound members of the UI script that window scripts call.

#include "graphics/renderer.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "script/lua_binding.h"
#include "script/lua_glue.h"
#include "windows/button.h"
#include "windows/lua_message.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"
#include "windows/window_style.h"

namespace {

TString LuaGetConfig(TString key) { return GetConfig(key); }
bool LuaIsEnabled(TString key) { return IsEnabled(key); }
double LuaGetTimer() {
  TWindowManager* manager = GetWindowManager();
  return manager ? manager->Host().GetTimer() : 0;
}

TLuaVec4 ReadQuad(TLuaTable* table) {
  TLuaVec4 value{0, 0, 0, 0};
  for (int i = 0; table && i < 4; i++) value[i] = LuaNumberToFloat(table->GetNumberAt(i + 1, 0));
  return value;
}

}  // namespace

void TWindowScript::BindApi() {
  lua_State* L = GetState();
  BindLuaMember(L, "PostCreate", this, &TWindowScript::PostCreate);
  BindLuaMember(L, "SetWindowName", this, &TWindowScript::SetWindowName);
  BindLuaMember(L, "FillRect", this, &TWindowScript::FillRect);
  BindLuaFunction(L, "GetTimer", &LuaGetTimer);
  BindLuaFunction(L, "GetConfig", &LuaGetConfig);
  BindLuaFunction(L, "IsEnabled", &LuaIsEnabled);
  BindLuaMember(L, "EnableWindow", this, &TWindowScript::EnableWindow);
  BindLuaMember(L, "PopWindow", this, &TWindowScript::LuaPopWindow);
  BindLuaMember(L, "RealSetFocus", this, &TWindowScript::RealSetFocus);
  BindLuaMember(L, "StringToClipboard", this, &TWindowScript::StringToClipboard);
  BindLuaMember(L, "UpdateWindow", this, &TWindowScript::UpdateWindow);
  BindLuaMember(L, "PushModal", this, &TWindowScript::LuaPushModal);
  BindLuaMember(L, "ClearModalChildren", this, &TWindowScript::ClearModalChildren);
  BindLuaMember(L, "GetWindowDepth", this, &TWindowScript::GetWindowDepth);
  BindLuaMember(L, "DoPopModal", this, &TWindowScript::LuaDoPopModal);
  BindLuaMember(L, "HandleGetMessage", this, &TWindowScript::HandleGetMessage);
  BindLuaMember(L, "GenericCreate", this, &TWindowScript::GenericCreate);
  BindLuaMember(L, "CreateNamedMessage", this, &TWindowScript::CreateNamedMessage);
  BindLuaMember(L, "CreateCloseMessage", this, &TWindowScript::CreateCloseMessage);
  BindLuaMember(L, "PostMessage", this, &TWindowScript::LuaPostMessage);
  BindLuaMember(L, "PostMessageToParent", this, &TWindowScript::PostMessageToParent);
  BindLuaMember(L, "_GetString", this, &TWindowScript::GetString);
  BindLuaMember(L, "StartMovie", this, &TWindowScript::StartMovie);
  BindLuaMember(L, "IsMoviePlaying", this, &TWindowScript::IsMoviePlaying);
  BindLuaMember(L, "StopMovie", this, &TWindowScript::StopMovie);
  BindLuaMember(L, "DestroyWindow", this, &TWindowScript::DestroyWindow);
  BindLuaMember(L, "DoFitToChildren", this, &TWindowScript::DoFitToChildren);
  BindLuaMember(L, "SetPosition", this, &TWindowScript::SetPosition);
}

int TWindowScript::GenericCreate(lua_State* L) {
  if (!lua_istable(L, 1)) return 0;
  lua_settop(L, 1);
  lua_pushstring(L, "typename");
  lua_gettable(L, 1);
  TString typeName = lua_isnil(L, -1) ? TString() : GetLuaString(L, -1);
  lua_settop(L, 1);
  TWindowCreator creator = FindWindowType(typeName);
  if (!creator) return 0;
  std::unique_ptr<TWindow> window = creator();
  if (!window) return 0;
  InitWindow(std::move(window));
  return 0;
}

void TWindowScript::PostCreate(TLuaTable* styleTable) {
  TWindow* current = GetCurrentWindow();
  if (!current || !styleTable) return;
  TWindowStyle style(styleTable);
  current->PostCreate(style);
}

void TWindowScript::SetWindowName(TString name) {
  if (TWindow* current = GetCurrentWindow()) current->SetName(name);
}

void TWindowScript::FillRect(TLuaTable* rectTable, TLuaTable* colourTable) {
  TLuaVec4 r = ReadQuad(rectTable), c = ReadQuad(colourTable);
  TRect rect(LuaNumberToInt(r[0]), LuaNumberToInt(r[1]), LuaNumberToInt(r[2]), LuaNumberToInt(r[3]));
  TWindow* screen = mManager ? mManager->GetScreen() : nullptr;
  if (!screen) return;
  TRect screenRect;
  screen->GetScreenRect(screenRect);
  rect = rect.Intersect(screenRect);
  if (!rect.IsEmpty()) TRenderer::GetInstance()->FillRect(rect, TColor{c[0], c[1], c[2], c[3]});
}

bool TWindowScript::EnableWindow(TString name, bool show) {
  TWindow* window = FindNamedWindow(name);
  if (!window) return false;
  uint32_t flags = window->GetFlags();
  window->SetFlags(show ? (flags | WindowVisible) : (flags & ~uint32_t(WindowVisible)));
  // A hidden button lets go of the mouse.
  if (TButton* button = WindowCast<TButton>(window); button && !show) button->OnMouseLeave();
  UpdateWindow();
  return true;
}

void TWindowScript::RealSetFocus(TString name) {
  TWindow* current = GetCurrentWindow();
  TWindow* window = current ? current->FindChild(name) : nullptr;
  if (mManager) mManager->SetFocus(window);
}

void TWindowScript::StringToClipboard(TString text) {
  if (mManager) mManager->Host().SetClipboardString(text);
}

void TWindowScript::UpdateWindow() {
  if (mManager) mManager->Invalidate();
}

TString TWindowScript::LuaPushModal(TString name) {
  if (!mManager) return TString();
  auto modal = std::make_unique<TModalWindow>();
  modal->SetName(name);
  return mManager->PushModal(std::move(modal))->GetIdString();
}

void TWindowScript::ClearModalChildren() {
  TModalWindow* top = WindowCast<TModalWindow>(mManager ? mManager->GetTopModal() : nullptr);
  if (!top) return;
  top->ClearTasks();
  top->DeleteChildren();
  top->SetSize(0, 0);
  top->SetPosition(0, 0);
}

int32_t TWindowScript::GetWindowDepth() {
  int32_t depth = 0;
  for (TWindow* w = mManager ? mManager->GetTopModal() : nullptr; w; w = w->GetParent()) depth++;
  return depth;
}

void TWindowScript::LuaDoPopModal(TString name) {
  if (mManager) mManager->DoPopModal(name);
}

void TWindowScript::DestroyWindow(TString name) {
  TWindow* current = GetCurrentWindow();
  TWindow* window = current ? current->FindChild(name) : nullptr;
  if (!window || !window->GetParent() || !mManager) return;
  mManager->DestroyWindowLater(window->GetParent()->RemoveChild(window));
}

void TWindowScript::DoFitToChildren() {
  if (TWindow* current = GetCurrentWindow()) current->FitToChildren();
}

void TWindowScript::SetPosition(TString name, int32_t x, int32_t y) {
  TWindow* window = FindInTopModal(name);
  if (!window) return;
  TWindow* parent = window->GetParent();
  int32_t width = window->GetWidth(), height = window->GetHeight();
  TWindow::ResolveAxis(x, width, parent ? parent->GetWidth() : 0, false, false, parent != nullptr, false);
  TWindow::ResolveAxis(y, height, parent ? parent->GetHeight() : 0, false, false, parent != nullptr, false);
  window->SetPosition(x, y);
}

int TWindowScript::GetString(lua_State* L) {
  TString key = GetLuaString(L, 1);
  if (key.CharAt(0) == '#') {
    PushLuaString(L, key.Substr(1));
    return 1;
  }
  // The string table substitutes five arguments; a sixth has no place to go.
  TString args[5];
  for (int i = 0; i < 5; i++) args[i] = GetLuaString(L, i + 2);
  TStringTable* table = GetStringTable();
  PushLuaString(L, table ? table->GetString(key, args[0], args[1], args[2], args[3], args[4]) : key);
  return 1;
}

namespace {
TMovieHostMaker gMovieHostMaker = nullptr;
}

void SetMovieHostMaker(TMovieHostMaker maker) { gMovieHostMaker = maker; }

bool TWindowScript::StartMovie(TString name, bool textMode, bool interactive) {
  if (name.IsEmpty()) return false;
  StopMovie();
  if (!gMovieHostMaker) return false;
  std::unique_ptr<IMovieHost> movie = gMovieHostMaker(name);
  if (!movie || !movie->Open(false, textMode, interactive)) return false;
  mMovie = std::move(movie);
  return true;
}

bool TWindowScript::IsMoviePlaying() { return mMovie && mMovie->IsPlaying(); }

void TWindowScript::StopMovie() {
  if (!mMovie) return;
  mMovie->Close();
  mMovie.reset();
}

// ---- Messages from scripts ----

int TWindowScript::CreateNamedMessage(lua_State* L) {
  uint32_t type = LuaNumberToUnsigned(lua_tonumber(L, 1));
  TString name = GetLuaString(L, 2);
  PushMessageObject(L, std::make_unique<TMessage>(type, name));
  return 1;
}

int TWindowScript::CreateCloseMessage(lua_State* L) {
  TWindow* current = GetCurrentWindow();
  PushMessageObject(L, std::make_unique<TMessage>(MessageCloseWindow, current ? current->GetIdString() : TString()));
  return 1;
}

int TWindowScript::PostFromLua(lua_State* L, bool toParent) {
  lua_settop(L, 1);
  std::unique_ptr<TLuaMessageWrapper> wrapper = TLuaMessageWrapper::FromStack(L);
  if (!wrapper || !mManager) return 0;
  if (toParent) {
    TWindow* top = mManager->GetTopModal();
    wrapper->SetTarget(top ? top->GetParent() : nullptr);
  }
  mManager->PostMessage(std::move(wrapper));
  return 0;
}

int TWindowScript::LuaPostMessage(lua_State* L) { return PostFromLua(L, false); }
int TWindowScript::PostMessageToParent(lua_State* L) { return PostFromLua(L, true); }
