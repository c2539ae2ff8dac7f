#pragma once
// TScript: a periodic task that owns (or shares) a Lua state and runs script functions as
// coroutines, resuming them once per task step until they finish. A chunk whose run answers
// a function makes that function the script's coroutine. The window system's UI script is
// one; the game runs generated Lua text through DoLuaString.
//
// Errors never leave a script: they are logged ("Lua error: %s" through `_ALERT', and the
// lines quoted below), and the script-defined `LuaErrorMessage' hears about failed text.

#include <memory>
#include <vector>

#include "platform/anim_task.h"
#include "platform/engine_string.h"
#include "script/lua/lua.h"
#include "script/lua_object_wrapper.h"
#include "script/lua_table_reader.h"

class TScriptCode;

class TScript : public TAnimTask {
 public:
  // With a null state the script opens a state of its own, closed by the destructor, and
  // names itself in the global `_SCRIPT'. Otherwise it runs on the given state, which its
  // owner keeps. Either way it opens the script libraries (base with coroutine, string,
  // table, `_ALERT', `DebugOut', `toparams', `DumpTable'). The task starts stopped.
  explicit TScript(lua_State* state = nullptr);
  ~TScript() override;
  TScript(const TScript&) = delete;
  TScript& operator=(const TScript&) = delete;

  // A script on a new coroutine thread of this script's state, sharing its globals (and so
  // its `_SCRIPT'). Should this script go first, the thread script is left without a state
  // and does nothing from then on.
  std::unique_ptr<TScript> CreateThreadScript();
  // The script named by L's global `_SCRIPT', or null.
  static TScript* GetRunningScript(lua_State* L);

  // Runs a script file (compiled once through the asset cache). False without a message for
  // a missing file; a file that fails to load goes to `_ALERT'; a failed run is logged as
  // "Failed to run script %s: %d". The stack is left as it was.
  bool RunScript(const TString& fileName);
  // The same for the game's main script, whose answer must be the function that runs the
  // screens: a missing file and any other answer log one line each and give false.
  bool RunMainScript(const TString& fileName);
  // Compiles and runs Lua text (its first `length' bytes, all of it for -1; never past its
  // end, the first zero byte). With results 0 the stack is left as it was; otherwise that
  // many values are left (nil after an error). Errors are logged as "DoLuaString %s %s"
  // and passed to `LuaErrorMessage'.
  bool DoLuaString(const TString& text, int length = -1, int results = 0);
  // Runs a compiled chunk, all of its bytes, as DoLuaString runs text.
  bool DoLuaString(const TScriptCode& code, int results = 0);
  // Calls the function below `args' arguments on the stack, with `_ALERT' as error handler.
  // While the coroutine waits in a yield, a call wanting at most one result is handed to it
  // as a closure (ResumeWithValue). A single function result of a fresh run becomes the
  // coroutine and is started at once. Returns the Lua status.
  int RunFunction(int args, int results);
  // Resumes the suspended coroutine with `args' values from the stack; an error is logged as
  // "lua_resume ERROR: %s". Returns the Lua status.
  int Resume(int args);
  // The task step: resumes the coroutine; once it fails or ends, the task stops.
  bool Animate() override;
  // True while the coroutine is suspended in a yield.
  bool IsYielded() const;
  // Called with a value on top of the stack that is to reach the suspended coroutine. The
  // base pops it and answers false; a window script resumes its coroutine with it.
  virtual bool ResumeWithValue();

  // Stack helpers for the window system and the game. On an empty stack they give 0, ""
  // and zeros and pop nothing.
  double PopNumber();
  TString PopString();
  TLuaVec4 PopVec4();
  void SetGlobalString(const char* name, const TString& value);

  lua_State* GetState() const { return mState; }
  // The search path that RunScript and DoLuaString put into `LUA_PATH' for this script
  // and the thread scripts made from it after this call; empty (the start) uses the
  // process-wide path (GetScriptSearchPath).
  void SetSearchPath(const TString& path) { mSearchPath = path; }
  const TString& GetSearchPath() const;
  // Wrappers handed over during a native call (table arguments of bound members); they are
  // deleted at the next run or resume that no bound call encloses.
  void AddPendingWrapper(std::unique_ptr<TLuaObjectWrapper> wrapper);
  size_t GetPendingCount() const { return mPending.size(); }

 private:
  struct FrameMark {
    int depth;
    bool yielded;
  };

  void OpenLibraries();
  bool RunScriptFile(const TString& fileName, bool& returnedFunction);
  void DeletePendingWrappers();
  void Detach();
  FrameMark Mark() const;
  bool SameFrame(const FrameMark& mark) const;
  int CallProtected(int func, int args, int results);
  int DeliverToSuspended(int func, int args, int results);
  void StartCoroutine(int baseTop);
  // Loads and runs the first size bytes of text (DoLuaString's work).
  bool DoChunk(const TString& text, size_t size, int results);
  void ReportTextError(const TString& text, const char* phase);

  lua_State* mState = nullptr;
  bool mOwnsState = false;
  std::unique_ptr<TLuaThread> mThread;  // set for a thread script
  std::vector<std::unique_ptr<TLuaObjectWrapper>> mPending;
  // Non-owning links between a script and the thread scripts on its state: each side
  // unlinks itself when it goes, and the owner of the state detaches its threads first.
  TScript* mParent = nullptr;
  std::vector<TScript*> mChildren;
  // The stack top below the running coroutine: where the stack returns when it ends.
  int mCoroutineBase = 0;
  TString mSearchPath;
};
