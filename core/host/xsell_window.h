#pragma once
// TXSellWindow ("XSellWindow"): the cross-promotion page. Its window script lays out up to
// eight game slots (description text "descrip<n>" and link button "xsellbutton<n>"), the
// logos and the site link; "SetupXSell" fills the descriptions and links from an XML file,
// hides the slots that the file leaves unused and centres the buttons and logos on the
// points the layout gives them; "LaunchGameLink" opens a link in the browser.

#include <array>
#include <memory>

#include "windows/window.h"

class TXSellWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // The slots of a page: each may carry a link, and 0 stands for the site link.
  static constexpr int SlotCount = 8;

  // Binds "SetupXSell" and "LaunchGameLink" to this window (a later page takes them over;
  // when the window goes they raise a script error).
  TXSellWindow();

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TXSellWindow>(); }

  const char* GetClassName() const override { return "TXSellWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // "config" (default "xsell/xsell.xml"), "autoexpand" (default false), and the common
  // window keys (name and layout).
  void Init(TWindowStyle& style) override;

  // Fills the page from the configuration (see the file's comments).
  void BuildPage();
  // 0 opens the site link, 1 to 8 the link of that entry; only web and mail addresses open.
  void LaunchGameLink(int32_t index);

  const TString& GetLink(int index) const { return mLinks[size_t(index)]; }

 private:
  void FillEntry(int slot, const TString& description, const TString& linkText);
  void HideSlot(int slot);
  void Hide(const TString& name);
  void Centre(const TString& name);

  std::array<TString, SlotCount + 1> mLinks;  // [0] the site link, [n] entry n
  TString mConfig = "xsell/xsell.xml";
  bool mAutoExpand = false;
};
