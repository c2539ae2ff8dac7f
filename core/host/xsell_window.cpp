#include "host/xsell_window.h"

#include <cstring>

#include "host/host_platform.h"
#include "platform/log.h"
#include "platform/os/url_opener.h"
#include "platform/xml_node.h"
#include "script/lua_binding.h"
#include "windows/text_window.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"
#include "windows/window_style.h"

namespace {

TString SlotName(const char* stem, int slot) { return TString::Printf("%s%d", stem, slot); }

}  // namespace

TXSellWindow::TXSellWindow() {
  TWindowManager* windows = GetWindowManager();
  TWindowScript* script = windows ? windows->GetScript() : nullptr;
  lua_State* L = script ? script->GetState() : nullptr;
  if (!L) return;
  BindLuaMember(L, "SetupXSell", this, &TXSellWindow::BuildPage);
  BindLuaMember(L, "LaunchGameLink", this, &TXSellWindow::LaunchGameLink);
}

void TXSellWindow::Init(TWindowStyle& style) {
  TWindow::Init(style);
  mConfig = style.GetString("config", "xsell/xsell.xml");
  mAutoExpand = style.GetBool("autoexpand", false);
}

// The entries are the "gameinfo" children of "xsell", in order; "sitelink" gives the site
// link and "centertext" the two centre texts. A missing file keeps the texts as they are
// and hides every slot.
void TXSellWindow::BuildPage() {
  TXmlNode root;
  TXmlNode* page = root.LoadFile(mConfig) ? root.GetChild("xsell") : nullptr;
  if (!page) LogPrintf("XSellWindow: %s has no \"xsell\" element", mConfig.c_str());
  int entries = 0;
  if (page) {
    TString name;
    TXmlNode* child = nullptr;
    page->ResetChildIterator();
    while (page->GetNextChild(name, child)) {
      if (strcmp(name.c_str(), "gameinfo") != 0) continue;
      // The page has eight slots; an entry beyond them has nowhere to go.
      if (entries == SlotCount) {
        LogPrintf("XSellWindow: %s has more than %d games; the rest are left out", mConfig.c_str(), SlotCount);
        break;
      }
      entries++;
      FillEntry(entries, child->GetAttribute("description"), child->GetAttribute("linktext"));
      mLinks[size_t(entries)] = child->GetAttribute("link");
    }
    if (TXmlNode* site = page->GetChild("sitelink")) mLinks[0] = site->GetAttribute("link");
    else Hide("gamesite");
    if (TXmlNode* centre = page->GetChild("centertext")) {
      if (TText* text = WindowCast<TText>(FindChild("centertext1"))) text->SetText(centre->GetAttribute("text1"));
      if (TText* text = WindowCast<TText>(FindChild("centertext2"))) text->SetText(centre->GetAttribute("text2"));
    }
  }
  for (int slot = entries + 1; slot <= SlotCount; slot++) HideSlot(slot);
  // The layout places these by their centre point.
  for (int slot = 1; slot <= 7; slot++) Centre(SlotName("xsellbutton", slot));
  for (const char* name : {"sitelogo", "wendrocklogo", "gamesite"}) Centre(name);
}

void TXSellWindow::FillEntry(int slot, const TString& description, const TString& linkText) {
  TText* text = WindowCast<TText>(FindChild(SlotName("descrip", slot)));
  if (!text) return;
  TString content = description;
  if (!linkText.IsEmpty()) {
    // A blue, underlined link whose id names the slot's button.
    content += " <u><font color=\"003cff\"><a id='";
    content += SlotName("xsellbutton", slot);
    content += "'>";
    content += linkText;
    content += "</a></font></u>";
  }
  text->SetText(content);
}

void TXSellWindow::HideSlot(int slot) {
  Hide(SlotName("descrip", slot));
  Hide(SlotName("xsellbutton", slot));
}

void TXSellWindow::Hide(const TString& name) {
  if (TWindow* window = FindChild(name)) window->SetFlags(window->GetFlags() & ~uint32_t(WindowVisible));
}

// Without autoexpand the screen position serves as the new position as it is, as the
// layouts have always been made for.
void TXSellWindow::Centre(const TString& name) {
  TWindow* window = FindChild(name);
  if (!window) return;
  TRect rect;
  window->GetScreenRect(rect);
  TPoint topLeft(rect.left, rect.top);
  if (mAutoExpand && window->GetParent()) window->GetParent()->ScreenToClient(topLeft);
  window->SetPosition(topLeft.x - rect.Width() / 2, topLeft.y - rect.Height() / 2);
}

void TXSellWindow::LaunchGameLink(int32_t index) {
  if (index < 0 || index > SlotCount) {
    LogPrintf("LaunchGameLink: there is no link %d", int(index));
    return;
  }
  const TString& link = mLinks[size_t(index)];
  if (!IsOpenableUrl(link.ToStd())) {
    LogPrintf("LaunchGameLink: \"%s\" is no web address", link.c_str());
    return;
  }
  GetHostPlatform().OpenUrl(link);
}
