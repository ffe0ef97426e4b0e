#include "backends/win32/win32_settings_dialog.h"

#include <windows.h>
#include <commctrl.h>
#undef MessageBox

#include <algorithm>
#include <vector>

#include "backends/win32/win32_modal_form.h"
#include "settings/about_box.h"
#include "settings/settings_dialog.h"

namespace vitrine {

namespace {

std::string TextOf(HWND control) {
  int n = GetWindowTextLengthA(control);
  std::string s(size_t(n) + 1, '\0');
  GetWindowTextA(control, s.data(), n + 1);
  s.resize(size_t(n));
  return s;
}

// A picture as a device-dependent bitmap that a static control shows.
HBITMAP ToHBitmap(const Bitmap& picture) {
  Bitmap source = picture;
  source.SetFormat(PixelFormat::Xrgb8888);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(source.Stride() / 4);
  info.bmiHeader.biHeight = -source.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, source.Bits(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

// The model's check boxes and the controls that show them.
struct CheckBinding {
  int id;
  CheckBoxModel TfSetting::*box;
};
constexpr CheckBinding kChecks[] = {
    {kIdEnabledPassword, &TfSetting::ckbEnabledPassword},
    {kIdMouseMove, &TfSetting::ckbMouseMove},
    {kIdMouseLeftClick, &TfSetting::ckbMouseLeftClick},
    {kIdMouseRightClick, &TfSetting::ckbMouseRightClick},
    {kIdMouseDoubleClick, &TfSetting::ckbMouseDoubleClick},
    {kIdEscKey, &TfSetting::ckbEscKey},
    {kIdEnterKey, &TfSetting::ckbEnterkey},
    {kIdSpecifyKey, &TfSetting::ckbSpecifyKey},
    {kIdEnabledMusic, &TfSetting::ckbEnabledMusic},
    {kIdMaxRuntime, &TfSetting::ckbMaxRuntime},
    {kIdTransitionUsed, &TfSetting::ckbtransitionused},
    {kIdRandomTransition, &TfSetting::ckbRandomInEffect},
};

struct EditBinding {
  int id;
  EditModel TfSetting::*edit;
};
constexpr EditBinding kEdits[] = {
    {kIdPassword, &TfSetting::edtPassword},
    {kIdConfirm, &TfSetting::edtConform},
    {kIdKeyValue, &TfSetting::edtKeyValue},
};

struct TrackBinding {
  int id;
  TrackBarModel TfSetting::*track;
};
constexpr TrackBinding kTracks[] = {
    {kIdMouseSensitivity, &TfSetting::tbMouseSensitivity},
    {kIdSpeed, &TfSetting::tbInSpeed},
};

class Win32SettingsDialog {
 public:
  Win32SettingsDialog(Win32Services& services, FileSystem& files, RegistryStore& registry, HWND owner)
      : services_(services),
        model_(services, files, registry),
        form_(model_.Caption.c_str(), model_.ClientWidth, model_.ClientHeight, owner) {}

  ~Win32SettingsDialog() {
    if (banner_) DeleteObject(banner_);
    if (pageBrush_) DeleteObject(pageBrush_);
  }

  void Run() {
    model_.RunAbout = [this](TfSettingAbout& about) { RunAboutBox(about); };
    model_.FormShow();
    Build();
    WriteControls();
    ShowPage(0);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));  // the show may have hidden it
    form_.onCommand = [this](int id, int code) { return Command(id, code); };
    form_.onStaticColour = [this](HDC dc, HWND control) { return PageColour(dc, control); };
    form_.onNotify = [this](NMHDR* n) {
      if (n->idFrom == kIdTabs && n->code == TCN_SELCHANGE) ShowPage(TabCtrl_GetCurSel(n->hwndFrom));
    };
    uintptr_t previousOwner = services_.owner;
    services_.owner = reinterpret_cast<uintptr_t>(form_.Handle());
    form_.Run();
    services_.owner = previousOwner;
  }

 private:
  HWND Add(int page, const char* cls, const std::string& text, DWORD style, int x, int y, int w, int h, int id = -1,
           DWORD ex = 0) {
    HWND c = form_.AddControl(cls, text.c_str(), style, left_ + x, y, w, h, id, ex);
    if (page >= 0) pages_[size_t(page)].push_back(c);
    return c;
  }
  HWND Check(int page, const CheckBoxModel& box, int x, int y, int w, int id) {
    return Add(page, "BUTTON", box.Caption, WS_TABSTOP | BS_AUTOCHECKBOX, x, y, w, 17, id);
  }
  HWND Item(int id) const { return form_.Control(id); }

  // The pages' controls are the form's children over the tab control: they take the colour
  // the tab control gives its page (lighter than the form's face where a theme draws it),
  // read once from the tab control's own drawing.
  HBRUSH PageColour(HDC dc, HWND control) {
    bool onPage = false;
    for (const auto& page : pages_) onPage = onPage || std::find(page.begin(), page.end(), control) != page.end();
    if (!onPage || !tabs_) return nullptr;
    if (!pageBrush_) {
      RECT client;
      GetClientRect(tabs_, &client);
      RECT body = client;
      TabCtrl_AdjustRect(tabs_, FALSE, &body);
      HDC windowDc = GetDC(tabs_);
      HDC memory = CreateCompatibleDC(windowDc);
      HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
      HGDIOBJ old = SelectObject(memory, bitmap);
      SendMessageA(tabs_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
      COLORREF colour = GetPixel(memory, (body.left + body.right) / 2, (body.top + body.bottom) / 2);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      ReleaseDC(tabs_, windowDc);
      pageColour_ = colour == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : colour;
      pageBrush_ = CreateSolidBrush(pageColour_);
    }
    SetBkColor(dc, pageColour_);
    return pageBrush_;
  }

  void Build() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    form_.SetMenuBar(BuildMenu());
    form_.SetClientSize(model_.ClientWidth, model_.ClientHeight);
    if (model_.plDlgImage.Visible) {
      left_ = kBannerPanelWidth;
      HWND frame = form_.AddControl("STATIC", "", SS_BITMAP | SS_SUNKEN | SS_NOTIFY, 10, 1, kBannerImageWidth,
                                    kBannerImageHeight, kIdBanner);
      SetClassLongPtrA(frame, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursor(nullptr, IDC_HAND)));
      if (!model_.imgDlg.Empty()) {
        banner_ = ToHBitmap(model_.imgDlg);
        SendMessageA(frame, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_));
      }
    }
    HWND tabs = Add(-1, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 329, 225, kIdTabs);
    tabs_ = tabs;
    const PageModel* pages[] = {&model_.tbNormal, &model_.tbAdvance, &model_.tsTransition, &model_.tbAuthInfo,
                                &model_.tbDesc};
    for (const PageModel* page : pages) {
      if (!page->TabVisible) continue;
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(page->Caption.c_str());
      TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &item);
      shownPages_.push_back(page);
    }
    pages_.resize(shownPages_.size());
    for (size_t i = 0; i < shownPages_.size(); ++i) {
      const PageModel* page = shownPages_[i];
      if (page == &model_.tbNormal) BuildPasswordPage(int(i));
      else if (page == &model_.tbAdvance) BuildSettingPage(int(i));
      else if (page == &model_.tsTransition) BuildTransitionPage(int(i));
      else if (page == &model_.tbAuthInfo) BuildAuthorPage(int(i));
      else BuildDescriptionPage(int(i));
    }
    Add(-1, "BUTTON", model_.btnOK.Caption, WS_TABSTOP | BS_DEFPUSHBUTTON, 83, 231, 75, 25, IDOK);
    Add(-1, "BUTTON", model_.btnCancel.Caption, WS_TABSTOP, 201, 231, 75, 25, IDCANCEL);
    for (auto& page : pages_)
      for (HWND c : page) SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }

  HMENU BuildMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kIdMenuSave, setting_text::kSave);
    AppendMenuA(file, MF_STRING, kIdMenuExit, setting_text::kExit);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), setting_text::kFile);
    if (model_.Action1.Visible) {
      HMENU action = CreatePopupMenu();
      if (model_.mmVisitourwebsite.Visible)
        AppendMenuA(action, MF_STRING, kIdMenuVisit, model_.mmVisitourwebsite.Caption.c_str());
      AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(action), model_.Action1.Caption.c_str());
    }
    if (model_.mmHelp.Visible) {
      HMENU help = CreatePopupMenu();
      AppendMenuA(help, MF_STRING, kIdMenuAbout, setting_text::kAbout);
      AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), model_.mmHelp.Caption.c_str());
    }
    return bar;
  }

  void BuildPasswordPage(int page) {
    Add(page, "BUTTON", setting_text::kPasswordSetting, BS_GROUPBOX, 8, 26, 313, 120);
    Check(page, model_.ckbEnabledPassword, 16, 44, 200, kIdEnabledPassword);
    Add(page, "STATIC", setting_text::kNewPassword, 0, 16, 72, 90, 16);
    Add(page, "EDIT", "", WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, 110, 70, 180, 20, kIdPassword, WS_EX_CLIENTEDGE);
    Add(page, "STATIC", setting_text::kConfirm, 0, 16, 100, 90, 16);
    Add(page, "EDIT", "", WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, 110, 98, 180, 20, kIdConfirm, WS_EX_CLIENTEDGE);
    for (int id : {kIdPassword, kIdConfirm}) SendMessageA(Item(id), EM_SETPASSWORDCHAR, setting_text::kPasswordChar, 0);
  }

  void BuildSettingPage(int page) {
    Add(page, "BUTTON", setting_text::kCloseEvent, BS_GROUPBOX, 8, 24, 313, 96);
    Check(page, model_.ckbMouseMove, 16, 38, 140, kIdMouseMove);
    Check(page, model_.ckbMouseLeftClick, 16, 55, 140, kIdMouseLeftClick);
    Check(page, model_.ckbMouseRightClick, 16, 72, 140, kIdMouseRightClick);
    Check(page, model_.ckbMouseDoubleClick, 16, 89, 140, kIdMouseDoubleClick);
    Check(page, model_.ckbEscKey, 170, 38, 140, kIdEscKey);
    Check(page, model_.ckbEnterkey, 170, 55, 140, kIdEnterKey);
    Check(page, model_.ckbSpecifyKey, 170, 72, 100, kIdSpecifyKey);
    Add(page, "EDIT", model_.edtKeyValue.Text, WS_TABSTOP | ES_AUTOHSCROLL, 274, 71, 24, 19, kIdKeyValue,
        WS_EX_CLIENTEDGE);
    SendMessageA(Item(kIdKeyValue), EM_LIMITTEXT, WPARAM(model_.edtKeyValue.MaxLength), 0);
    Add(page, "STATIC", setting_text::kNotice, 0, 170, 91, 148, 28);
    Add(page, "BUTTON", setting_text::kMouseSensitivity, BS_GROUPBOX, 8, 122, 313, 42);
    Add(page, "STATIC", setting_text::kLow, 0, 16, 140, 28, 16);
    HWND track = Add(page, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS, 46, 136, 236, 24,
                     kIdMouseSensitivity);
    SendMessageA(track, TBM_SETRANGE, TRUE, MAKELPARAM(model_.tbMouseSensitivity.Min, model_.tbMouseSensitivity.Max));
    SendMessageA(track, TBM_SETLINESIZE, 0, 10);
    Add(page, "STATIC", setting_text::kHigh, 0, 288, 140, 30, 16);
    Check(page, model_.ckbEnabledMusic, 8, 166, 94, kIdEnabledMusic);
    // How the show uses several monitors, beside the music: the page has no row to spare for
    // the label, and each choice names the monitors; the longest is seen whole.
    HWND monitors = Add(page, "COMBOBOX", model_.lbMonitors.Caption, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 106,
                        163, 215, 120, kIdMonitors);
    for (const std::string& choice : model_.cbMonitors.Items)
      SendMessageA(monitors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    SendMessageA(monitors, CB_SETDROPPEDWIDTH, 200, 0);
    Check(page, model_.ckbMaxRuntime, 8, 184, 313, kIdMaxRuntime);
    // The run time's row: its caption, the count with its arrows, the unit.
    Add(page, "STATIC", setting_text::kMaxRunTimeLabel, 0, 24, 205, 76, 16);
    // Wide enough for three digits beside the arrows that the up-down takes from it.
    HWND edit = Add(page, "EDIT", "", WS_TABSTOP | ES_NUMBER, 104, 202, 56, 19, kIdMaxRuntimeEdit, WS_EX_CLIENTEDGE);
    SendMessageA(edit, EM_LIMITTEXT, WPARAM(model_.edtMaxruntime.MaxLength), 0);
    HWND ud = Add(page, UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0,
                  0, kIdMaxRuntimeUpDown);
    SendMessageA(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageA(ud, UDM_SETRANGE32, WPARAM(model_.udMaxRunTime.Min), LPARAM(model_.udMaxRunTime.Max));
    Add(page, "STATIC", setting_text::kMinutes, 0, 168, 205, 60, 16);
  }

  void BuildTransitionPage(int page) {
    Check(page, model_.ckbtransitionused, 8, 26, 313, kIdTransitionUsed);
    HWND list = Add(page, WC_LISTVIEWA, "", WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL, 8, 46, 200,
                    172, kIdTransitionList, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 176;
    ListView_InsertColumn(list, 0, &column);
    for (size_t i = 0; i < model_.clbInEffect.Items.size(); ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = int(i);
      item.pszText = const_cast<char*>(model_.clbInEffect.Items[i].c_str());
      ListView_InsertItem(list, &item);
    }
    Add(page, "BUTTON", model_.btnInSelectAll.Caption, WS_TABSTOP, 216, 46, 100, 23, kIdSelectAll);
    Add(page, "BUTTON", model_.btnInClearAll.Caption, WS_TABSTOP, 216, 74, 100, 23, kIdClearAll);
    Check(page, model_.ckbRandomInEffect, 216, 104, 105, kIdRandomTransition);
    Add(page, "STATIC", setting_text::kSpeed, 0, 216, 130, 100, 16);
    Add(page, "STATIC", setting_text::kSlow, 0, 216, 172, 40, 16);
    Add(page, "STATIC", setting_text::kFast, 0, 290, 172, 30, 16);
    HWND speed = Add(page, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 212, 148, 108, 24, kIdSpeed);
    SendMessageA(speed, TBM_SETRANGE, TRUE, MAKELPARAM(model_.tbInSpeed.Min, model_.tbInSpeed.Max));
  }

  void BuildAuthorPage(int page) {
    int y = 30;
    if (model_.plAuthor.Visible) {
      Add(page, "STATIC", setting_text::kAuthorName, 0, 8, y, 80, 16);
      Add(page, "STATIC", model_.lbAuthor.Caption, 0, 92, y, 225, 16, kIdAuthor);
      y += 22;
    }
    if (model_.plAuthweb.Visible) {
      Add(page, "STATIC", setting_text::kOurWebsite, 0, 8, y, 80, 16);
      Add(page, "STATIC", model_.lbAuthWebSite.Caption, 0, 92, y, 130, 16, kIdWebsite);
      Add(page, "BUTTON", setting_text::kVisitOurWebsite, WS_TABSTOP | BS_FLAT, 222, y - 3, 98, 22, kIdVisit);
      y += 22;
    }
    if (model_.plAuthEMail.Visible) {
      Add(page, "STATIC", setting_text::kEmail, 0, 8, y, 80, 16);
      Add(page, "STATIC", model_.lbEMail.Caption, 0, 92, y, 225, 16, kIdEmail);
      y += 22;
    }
    if (model_.edtDesc.Visible) Memo(page, model_.edtDesc.Text, y, 218 - y);
  }

  void BuildDescriptionPage(int page) { Memo(page, model_.memdesc.Text, 28, 190); }

  void Memo(int page, const std::string& text, int y, int h) {
    Add(page, "EDIT", text, WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 8, y, 313, h, kIdDescription,
        WS_EX_CLIENTEDGE);
  }

  void ShowPage(int page) {
    for (size_t p = 0; p < pages_.size(); ++p)
      for (HWND c : pages_[p]) ShowWindow(c, int(p) == page ? SW_SHOW : SW_HIDE);
  }

  // The model into the controls.
  void WriteControls() {
    for (const CheckBinding& b : kChecks) {
      const CheckBoxModel& box = model_.*(b.box);
      if (HWND c = Item(b.id)) {
        SendMessageA(c, BM_SETCHECK, box.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableWindow(c, box.Enabled);
      }
    }
    for (const EditBinding& b : kEdits)
      if (HWND c = Item(b.id)) SetWindowTextA(c, (model_.*(b.edit)).Text.c_str());
    for (const TrackBinding& b : kTracks) {
      const TrackBarModel& track = model_.*(b.track);
      if (HWND c = Item(b.id)) {
        SendMessageA(c, TBM_SETPOS, TRUE, track.Position);
        EnableWindow(c, track.Enabled);
      }
    }
    if (HWND ud = Item(kIdMaxRuntimeUpDown)) SendMessageA(ud, UDM_SETPOS32, 0, model_.udMaxRunTime.Position);
    if (HWND list = Item(kIdTransitionList)) {
      for (size_t i = 0; i < model_.clbInEffect.Checked.size(); ++i)
        ListView_SetCheckState(list, int(i), model_.clbInEffect.Checked[i] ? TRUE : FALSE);
      EnableWindow(list, model_.clbInEffect.Enabled);
    }
    if (HWND c = Item(kIdMonitors)) {
      SendMessageA(c, CB_SETCURSEL, WPARAM(model_.cbMonitors.ItemIndex), 0);
      EnableWindow(c, model_.cbMonitors.Enabled);
    }
    if (HWND c = Item(kIdSelectAll)) EnableWindow(c, model_.btnInSelectAll.Enabled);
    if (HWND c = Item(kIdClearAll)) EnableWindow(c, model_.btnInClearAll.Enabled);
  }

  // The controls into the model.
  void ReadControls() {
    for (const CheckBinding& b : kChecks)
      if (HWND c = Item(b.id)) (model_.*(b.box)).Checked = SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
    for (const EditBinding& b : kEdits)
      if (HWND c = Item(b.id)) (model_.*(b.edit)).Text = TextOf(c);
    for (const TrackBinding& b : kTracks)
      if (HWND c = Item(b.id))
        (model_.*(b.track)).SetPosition(static_cast<int32_t>(SendMessageA(c, TBM_GETPOS, 0, 0)));
    if (HWND ud = Item(kIdMaxRuntimeUpDown)) {
      // The edit may hold a count the arrows never saw; the up-down reads it back.
      BOOL failed = FALSE;
      LRESULT position = SendMessageA(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
      model_.udMaxRunTime.Position = static_cast<int16_t>(position);
      model_.edtMaxruntime.Text = TextOf(Item(kIdMaxRuntimeEdit));
    }
    if (HWND list = Item(kIdTransitionList))
      for (size_t i = 0; i < model_.clbInEffect.Checked.size(); ++i)
        model_.clbInEffect.Checked[i] = ListView_GetCheckState(list, int(i)) != 0;
    if (HWND c = Item(kIdMonitors)) {
      LRESULT chosen = SendMessageA(c, CB_GETCURSEL, 0, 0);
      if (chosen != CB_ERR) model_.cbMonitors.ItemIndex = static_cast<int32_t>(chosen);
    }
  }

  // Runs one of the model's handlers on the controls' current state; true when the model
  // closed the dialog.
  template <class Handler>
  bool Apply(Handler handler) {
    ReadControls();
    (model_.*handler)();
    WriteControls();
    return model_.Closed;
  }

  bool Command(int id, int code) {
    switch (id) {
      case IDOK: return Apply(&TfSetting::btnOKClick);
      case IDCANCEL: return Apply(&TfSetting::btnCancelClick);
      case kIdMenuSave: return Apply(&TfSetting::Save1Click);
      case kIdMenuExit: return Apply(&TfSetting::Exit1Click);
      case kIdMenuAbout: return Apply(&TfSetting::About1Click);
      case kIdMenuVisit: return Apply(&TfSetting::mmVisitourwebsiteClick);
      case kIdVisit: return Apply(&TfSetting::btnvisitClick);
      case kIdBanner: return code == STN_CLICKED && Apply(&TfSetting::imgDlgClick);
      case kIdSelectAll: return Apply(&TfSetting::btnInSelectAllClick);
      case kIdClearAll: return Apply(&TfSetting::btnInClearAllClick);
      case kIdTransitionUsed: return code == BN_CLICKED && Apply(&TfSetting::ckbtransitionusedClick);
    }
    return false;
  }

  void RunAboutBox(TfSettingAbout& about) {
    ModalForm box(about.Caption.c_str(), 300, 140, form_.Handle());
    box.AddControl("STATIC", "", SS_SUNKEN, 7, 8, kAboutFrameWidth, kAboutFrameHeight, -1);
    HBITMAP icon = ToHBitmap(about.imgAbout);
    HWND image = box.AddControl("STATIC", "", SS_BITMAP, 7 + about.imgAboutLeft, 8 + about.imgAboutTop,
                                about.imgAbout.Width(), about.imgAbout.Height(), -1);
    SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(icon));
    box.AddControl("STATIC", about.lbProjectName.c_str(), 0, 96, 9, 196, 16, kIdAboutName);
    box.AddControl("STATIC", about.labelversion.c_str(), 0, 96, 27, 40, 16, -1);
    box.AddControl("STATIC", about.lbVersion.c_str(), 0, 138, 27, 150, 16, kIdAboutVersion);
    box.AddControl("STATIC", about.lbCopyright.c_str(), 0, 97, 46, 200, 37, kIdAboutCopyright);
    box.AddControl("STATIC", "", SS_ETCHEDHORZ, 4, 89, 292, 2, -1);
    box.AddControl("STATIC", about.lbavailmemory.c_str(), 0, 8, 104, 200, 16, -1);
    box.AddControl("STATIC", about.lbMemory.c_str(), 0, 8, 120, 200, 16, kIdAboutMemory);
    box.AddControl("BUTTON", about.SpeedButton2.c_str(), WS_TABSTOP | BS_DEFPUSHBUTTON, 216, 105, 65, 25, kIdAboutOK);
    box.onCommand = [&about](int id, int) {
      if (id == kIdAboutOK || id == IDOK || id == IDCANCEL) about.SpeedButton2Click();
      return about.Closed;
    };
    box.Run();
    DeleteObject(icon);
  }

  Win32Services& services_;
  TfSetting model_;
  ModalForm form_;
  int left_ = 0;
  HBITMAP banner_ = nullptr;
  HWND tabs_ = nullptr;
  HBRUSH pageBrush_ = nullptr;
  COLORREF pageColour_ = 0;
  std::vector<const PageModel*> shownPages_;
  std::vector<std::vector<HWND>> pages_;
};

}  // namespace

void RunSettingsDialog(Win32Services& services, FileSystem& files, RegistryStore& registry, uintptr_t owner) {
  Win32SettingsDialog dialog(services, files, registry, reinterpret_cast<HWND>(owner));
  dialog.Run();
}

}  // namespace vitrine
