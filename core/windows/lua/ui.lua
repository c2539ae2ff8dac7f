-- The window-script library ("gScreenInit"): the dialog language on top of the bound
-- window API. Compiled at build time and run by every UI script at start.
--
-- A dialog is a list of window constructors: Window{ name = "box", x = 10, w = 100, ... }
-- returns a closure that builds the window under the current window, then its children
-- (the table's list part), then runs its second layout. Window scripts wait for messages
-- inside the UI script's coroutine (WaitForMessage and the functions built on it).

LUA_PATH = "?;../?;../../?"

kHAlignLeft, kHAlignCenter, kHAlignRight = 0, 1, 2
kVAlignTop, kVAlignCenter, kVAlignBottom = 0, 4, 8
kPush, kToggle, kRadio = 0, 1, 2
kAllLayers = -1
kCenter, kMax = 80000, 160000
kDefault = 128
kPushButtonAlignment = kHAlignCenter + kVAlignCenter
kRadioButtonAlignment = kHAlignLeft + kVAlignCenter
kToggleButtonAlignment = kHAlignCenter + kVAlignCenter

kGeneric = 0
kCloseWindow = 1
kDefaultAction = 2
kButtonPress = 3
kPressAnyKey = 4
kQuitNow = 5
kModalClosed = 6
kTextEditChanged = 7
kCommandOnly = 8
kSliderValChanged = 9
kSliderMouseUp = 10
kSliderPageUp = 11
kSliderPageDown = 12
kUserMessageBase = 1000

kCmdLine = "cmdline"
kLevel = "level"
kSubLevel = "sublevel"
kPause = "pause"
kMute = "mute"
kBreakNow = "breaknow"
kScore = "score"
kGameMode = "gamemode"
kGameOver = "gameover"
kSystemMode = "systemmode"
kRestartButton = "restartbutton"
kGameName = "gamename"
kGameVersion = "version"
kEncryptionKey = "encryptionkey"
kHiscoreLocalOnly = "hiscorelocal"
kHiscoreAnonymous = "hiscoreanon"

gReturnValue = nil
idtable = {}
gParent = {}
gCurrentDefaultStyle = {}
gClosedWindows = {}
gCommandQueue = {}
gMessageQueue = {}
gDialogTable = {}
gCurID = 100
gBeginGroup = 0

-- ---- Colours and the parent stack ----

-- A colour from 0..255 components (alpha defaults to opaque).
function Color(r, g, b, a)
  return { r / 255, g / 255, b / 255, (a or 255) / 255 }
end

-- A colour from 0..1 components.
function FColor(r, g, b, a)
  return { r, g, b, a or 1 }
end

function Push(t)
  table.insert(gParent, t)
end

function Pop()
  return table.remove(gParent)
end

-- ---- Building dialogs ----

-- Called by every window constructor with its type name and table; scripts may replace it.
function Creating(typeName, t)
end

-- A constructor for a registered type that has none of its own.
function CustomCreator(typeName, t)
  Creating(typeName, t)
  t.typename = typeName
  return function() DoWindow(t) end
end

function SetBeginGroup(on)
  gBeginGroup = on
end

-- The next window starts a new group (radio buttons).
function BeginGroup()
  gBeginGroup = 1
end

-- A fresh number for a window that needs a unique tag.
function GetTag()
  gCurID = gCurID + 1
  idtable[gCurID] = true
  return gCurID
end

-- One entry of a dialog's list: a constructor closure, or a nested list of entries.
function DoDialogCommand(command)
  if type(command) == "function" then
    command()
  elseif type(command) == "table" then
    if command.typename then
      DoWindow(command)
    else
      table.foreachi(command, function(i, entry) DoDialogCommand(entry) end)
    end
  end
end

-- Builds the children of the current window from the table's list, then its second layout.
-- Styles set inside stay inside.
function MakeDialog(t)
  local savedStyle = gCurrentDefaultStyle
  if t.name and not t.typename then SetWindowName(t.name) end
  table.foreachi(t, function(i, entry) DoDialogCommand(entry) end)
  SetDefaultStyle(savedStyle)
  PostCreate(t)
end

function DoWindow(t)
  if t.beginGroup == nil and gBeginGroup ~= 0 then t.beginGroup = true end
  gBeginGroup = 0
  GenericCreate(t)
  MakeDialog(t)
  PopWindow()
end

-- A plain window that takes the size of its children.
function Group(t)
  if t.fit == nil then t.fit = true end
  return Window(t)
end

-- ---- Styles ----

function SetDefaultStyle(style)
  gCurrentDefaultStyle = style
end

-- Replaces the default style for the windows that follow; returns the previous one.
function SetStyle(style)
  local previous = gCurrentDefaultStyle
  gCurrentDefaultStyle = style
  return previous
end

-- Puts a style in front of the current default: what it lacks comes from the default.
function AppendStyle(style)
  style.parent = gCurrentDefaultStyle
  style.tag = style.tag or GetTag()
  gCurrentDefaultStyle = style
  return style
end

-- ---- Window helpers ----

function SetFocus(name)
  RealSetFocus(name)
end

-- Marks a constructor table as the dialog's default button.
function SetDefault(t)
  t.default = true
  return t
end

-- Whole numbers toward zero (the UI script has no math library).
local function Truncate(x)
  return tonumber(string.format("%d", x))
end

-- The centre of column d of `divisor' equal columns across the current dialog.
function DistributeX(t)
  return Truncate(gDialogWidth * (2 * t.d - 1) / (2 * t.divisor))
end

function DistributeY(t)
  return Truncate(gDialogHeight * (2 * t.d - 1) / (2 * t.divisor))
end

function GetString(key, ...)
  return _GetString(key, arg[1], arg[2], arg[3], arg[4], arg[5], arg[6])
end

function SetBitmap(name, image, number)
  _SetBitmap(name, image, number or 1)
end

function SelectLayer(layer)
  DoSelectLayer(layer)
end

function FitToChildren()
  DoFitToChildren()
end

function SetState(name, on)
  SetButtonToggleState(name, on)
end

function RegisterHotkey(key, buttonName)
  _RegisterHotkey(key, buttonName)
end

-- Runs a window script file of the assets.
function ReadFile(name)
  return dofile("assets/" .. name)
end

-- ---- Messages and waiting ----

-- Suspends the coroutine for one step. A message that arrives meanwhile waits in the queue;
-- a call handed to the script runs here.
function Yield()
  local message, command = coroutine.yield()
  if command then command() end
  if message then table.insert(gMessageQueue, message) end
end

-- Waits for the next message (at most `delay' ms when given; then nil). Queued commands
-- run first; the message is also kept in gLastMessage.
function WaitForMessage(delay)
  while true do
    if table.getn(gCommandQueue) > 0 then
      local command = table.remove(gCommandQueue, 1)
      command()
    elseif table.getn(gMessageQueue) > 0 then
      gLastMessage = table.remove(gMessageQueue, 1)
      return gLastMessage
    else
      local message, command
      if delay then
        message, command = HandleGetMessage(delay)
      else
        message, command = HandleGetMessage()
      end
      if command then command() end
      if message then
        gLastMessage = message
        return message
      end
      if delay and not command then return nil end
    end
  end
end

-- Runs the queued commands and drops the queued messages.
function FlushMessages()
  while table.getn(gCommandQueue) > 0 do
    local command = table.remove(gCommandQueue, 1)
    command()
  end
  gMessageQueue = {}
end

-- Waits (ms), keeping the messages that arrive for later.
function Pause(ms)
  local untilTime = GetTimer() + ms
  while GetTimer() < untilTime do
    local message, command = HandleGetMessage(untilTime - GetTimer())
    if command then command() end
    if message then table.insert(gMessageQueue, message) end
  end
end

-- Waits until a modal this script opened is gone.
function WaitForCloseMessage()
  while true do
    local message = WaitForMessage()
    if message and message.type == kModalClosed and gClosedWindows[message.name] then
      gClosedWindows[message.name] = nil
      return message
    end
  end
end

function ModalReturn(value)
  gReturnValue = value
end

-- Closes the current dialog, returning `value' to whoever opened it.
function CloseWindow(value)
  PostMessage(CreateCloseMessage())
  ModalReturn(value)
end

-- ---- Modals ----

-- Opens the dialog script as a new modal and waits until it closes; returns its value.
function DoModal(file)
  gReturnValue = nil
  local id = PushModal(file)
  gClosedWindows[id] = true
  ReadFile(file)
  DoFitToChildren()
  WaitForCloseMessage()
  return gReturnValue
end

-- The same with the dialog table kept for the script (gDialogTable).
function DisplayDialog(file)
  if not file or file == "" then
    DebugOut("DisplayDialog called with empty script; aborting")
    return
  end
  gReturnValue = nil
  gDialogTable = {}
  local id = PushModal(file)
  gClosedWindows[id] = true
  ReadFile(file)
  WaitForCloseMessage()
  return gReturnValue
end

-- Opens the main window from its script and serves its messages while it is there.
function DoMainWindow(file)
  PushModal(file)
  local depth = GetWindowDepth()
  ReadFile(file)
  DoFitToChildren()
  while GetWindowDepth() >= depth do
    WaitForMessage()
  end
  return gLastMessage
end

-- Replaces the children of the top modal with those of another script.
function SwapToModal(file)
  ClearModalChildren()
  ReadFile(file)
  DoFitToChildren()
end

function PopModal(name)
  DoPopModal(name)
end

-- A splash screen: an image (and its overlay) shown for t.time ms or until a key or click
-- unless t.disableAbort; with t.inMovie a movie plays instead while it can.
function DisplaySplash(t)
  local id = PushModal("splash")
  gClosedWindows[id] = true
  if t.inMovie then StartMovie(t.inMovie, t.translate, t.allowInput) end
  if not IsMoviePlaying() then
    local content = {}
    if Bitmap and t.splashimage then table.insert(content, Bitmap{ name = "splashimage", image = t.splashimage, autoscale = true }) end
    if t.splashoverlay then table.insert(content, t.splashoverlay) end
    MakeDialog{ Group(content) }
  end
  UpdateWindow()
  Pause(50)
  local ends = GetTimer() + (t.time or 3000)
  while GetTimer() < ends or IsMoviePlaying() do
    local message = WaitForMessage(50)
    if message and not t.disableAbort and
       (message.type == kPressAnyKey or message.type == kCloseWindow) then
      break
    end
  end
  StopMovie()
  PopModal(id)
  WaitForCloseMessage()
end
