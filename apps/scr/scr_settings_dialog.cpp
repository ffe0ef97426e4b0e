#include "apps/scr/scr_settings_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <vector>

#include "core/file_system.h"
#include "core/stream.h"
#include "package/picture_loading.h"
#include "package/project_info.h"
#include "platform/win32/win32_modal_form.h"
#include "settings/read_write_setting.h"
#include "transitions/catalogue.h"

namespace vitrine {

namespace {

constexpr const char* kCaption = "Screensaver Setting";
constexpr const char* kTabSetting = "Setting";
constexpr const char* kTabTransitions = "Transitions";
constexpr const char* kTabAuthor = "Author Infomation";
constexpr const char* kTabDescription = "Description";
constexpr const char* kCloseEvent = "Close Event";
constexpr const char* kMouseSensitivity = "Mouse Sensitivity";
constexpr const char* kNoticeText = "Notice: the key is case sensitivity";
constexpr const char* kMaxRuntimeText = "Has a maxmize run time once the screen save start up";
constexpr const char* kTransitionUsedText = "Use following transition setting instead of the default setting.";
constexpr const char* kPleaseInputPassword = "Please input password!";
constexpr const char* kPasswordMismatch = "New Password <> Confirm Password";

constexpr int kBannerWidth = 121;

std::string TrimControls(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

std::string TextOf(HWND control) {
  int n = GetWindowTextLengthA(control);
  std::string s(size_t(n) + 1, '\0');
  GetWindowTextA(control, s.data(), n + 1);
  s.resize(size_t(n));
  return s;
}

// A banner picture stretched to the frame, as a bitmap a static control shows.
HBITMAP StretchedBanner(const Bitmap& picture, int width, int height) {
  Bitmap source = picture;
  source.SetFormat(PixelFormat::Xrgb8888);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(source.Stride() / 4);
  info.bmiHeader.biHeight = -source.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP banner = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, banner);
  SetStretchBltMode(dc, HALFTONE);
  StretchDIBits(dc, 0, 0, width, height, 0, 0, source.Width(), source.Height(), source.Bits(), &info, DIB_RGB_COLORS,
                SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return banner;
}

class TfSetting {
 public:
  TfSetting(const std::string& path, RegistryStore& registry, HWND owner)
      : Project(path, NativeFileSystem()), form_(kCaption, 450, 262, owner) {
    Project.ReadProject();
    Settings = std::make_unique<TRWSetting>(Project.SaverName, registry);
    Settings->LoadFromRegistry();
  }

  void Run() {
    FormShow();
    form_.onCommand = [this](int id, int code) { return Command(id, code); };
    form_.onNotify = [this](NMHDR* n) {
      if (n->idFrom == kIdTabs && n->code == TCN_SELCHANGE) ShowPage(TabCtrl_GetCurSel(n->hwndFrom));
    };
    form_.Run();
    if (banner_) DeleteObject(banner_);
  }

  TProjectInfo Project;
  std::unique_ptr<TRWSetting> Settings;

 private:
  HWND Add(int page, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id = -1,
           DWORD ex = 0) {
    HWND c = form_.AddControl(cls, text, style, left_ + x, y, w, h, id, ex);
    if (page >= 0) pages_[size_t(page)].push_back(c);
    return c;
  }
  HWND Check(int page, const char* text, int x, int y, int w, int id) {
    return Add(page, "BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, x, y, w, 17, id);
  }
  HWND Item(int id) const { return form_.Control(id); }
  bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(int id, bool on) { SendMessageA(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

  void FormShow() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    if (Project.ShowBanner) {
      left_ = kBannerWidth;
      HWND frame = form_.AddControl("STATIC", "", SS_BITMAP | SS_SUNKEN | SS_NOTIFY, 10, 1, 100, 250, kIdBanner);
      Bitmap picture;
      if (Project.PicturesEmbedded) {
        MemoryStream stream;
        int32_t type = -1;
        if (Project.GetBannerStream(stream, type)) {
          stream.Seek(0, SeekOrigin::Begin);
          LoadPictureFromStream(stream, picture, type);
        }
      } else if (NativeFileSystem().Exists(Project.BannerFile)) {
        LoadPictureFromFile(Project.BannerFile, picture);
      }
      if (!picture.Empty()) {
        banner_ = StretchedBanner(picture, 100, 250);
        SendMessageA(frame, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_));
      }
    } else {
      // Without the banner the dialog is narrower by its panel.
      RECT r;
      GetWindowRect(form_.Handle(), &r);
      SetWindowPos(form_.Handle(), nullptr, r.left + kBannerWidth / 2, r.top, r.right - r.left - kBannerWidth,
                   r.bottom - r.top, SWP_NOZORDER);
    }
    HWND tabs = Add(-1, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 329, 225, kIdTabs);
    const char* captions[] = {kTabSetting, kTabTransitions, Project.ShowAuthorInfo ? kTabAuthor : kTabDescription};
    for (int i = 0; i < 3; ++i) {
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(captions[i]);
      TabCtrl_InsertItem(tabs, i, &item);
    }
    BuildSettingPage();
    BuildTransitionPage();
    BuildAuthorPage();
    Add(-1, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 83, 231, 75, 25, IDOK);
    Add(-1, "BUTTON", "Cancel", WS_TABSTOP, 201, 231, 75, 25, IDCANCEL);
    for (HWND c : pages_[0]) SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EnableWindow(Item(kIdMouseMove), Project.MenuEnabled == 0);
    EnableWindow(Item(kIdMouseRightClick), Project.MenuEnabled == 0);
    FillControls();
    ShowPage(0);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));  // the show may have hidden it
  }

  void BuildSettingPage() {
    Add(0, "BUTTON", kCloseEvent, BS_GROUPBOX, 8, 26, 313, 108);
    Check(0, "Mouse Move", 16, 42, 140, kIdMouseMove);
    Check(0, "Mouse Left Click", 16, 60, 140, kIdMouseLeftClick);
    Check(0, "Mouse Right Click", 16, 78, 140, kIdMouseRightClick);
    Check(0, "Mouse Double Click", 16, 96, 140, kIdMouseDoubleClick);
    Check(0, "Esc Key", 170, 42, 140, kIdEscKey);
    Check(0, "Enter Key", 170, 60, 140, kIdEnterKey);
    Check(0, "A specify Key", 170, 78, 100, kIdSpecifyKey);
    Add(0, "EDIT", "A", WS_TABSTOP | ES_AUTOHSCROLL, 274, 78, 24, 19, kIdKeyValue, WS_EX_CLIENTEDGE);
    SendMessageA(Item(kIdKeyValue), EM_LIMITTEXT, 1, 0);
    Add(0, "STATIC", kNoticeText, 0, 170, 100, 150, 30);
    Add(0, "BUTTON", kMouseSensitivity, BS_GROUPBOX, 8, 136, 313, 42);
    Add(0, "STATIC", "Low", 0, 16, 154, 28, 16);
    HWND track = Add(0, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS, 46, 150, 236, 24,
                     kIdMouseSensitivity);
    SendMessageA(track, TBM_SETRANGE, TRUE, MAKELPARAM(1, 20));
    SendMessageA(track, TBM_SETPAGESIZE, 0, 10);
    Add(0, "STATIC", "High", 0, 288, 154, 30, 16);
    Check(0, "Enabled Music", 8, 180, 150, kIdEnabledMusic);
    Check(0, kMaxRuntimeText, 8, 198, 313, kIdMaxRuntime);
    Add(0, "STATIC", "Max Run time", 0, 8, 218, 70, 16);  // below the box, beside the count
    HWND edit = Add(0, "EDIT", "", WS_TABSTOP | ES_NUMBER, 170, 178, 50, 19, kIdMaxRuntimeEdit, WS_EX_CLIENTEDGE);
    SendMessageA(edit, EM_LIMITTEXT, 3, 0);
    HWND ud = Add(0, UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0,
                  kIdMaxRuntimeUpDown);
    SendMessageA(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageA(ud, UDM_SETRANGE32, 1, 999);
    Add(0, "STATIC", "Minutes", 0, 232, 180, 60, 16);
  }

  void BuildTransitionPage() {
    Check(1, kTransitionUsedText, 8, 26, 313, kIdTransitionUsed);
    HWND list = Add(1, WC_LISTVIEWA, "", WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL, 8, 46, 200, 172,
                    kIdTransitionList, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 176;
    ListView_InsertColumn(list, 0, &column);
    const auto& catalogue = TransitionCatalogue();
    for (int i = 0; i < kTransitionCount; ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = const_cast<char*>(catalogue[size_t(i)].name);
      ListView_InsertItem(list, &item);
    }
    Add(1, "BUTTON", "Select All", WS_TABSTOP, 216, 46, 100, 23, kIdSelectAll);
    Add(1, "BUTTON", "Clear All", WS_TABSTOP, 216, 74, 100, 23, kIdClearAll);
    Check(1, "Radom transitions", 216, 104, 105, kIdRandomTransition);
    Add(1, "STATIC", "Speed", 0, 216, 130, 100, 16);
    Add(1, "STATIC", "Slow", 0, 216, 172, 40, 16);
    Add(1, "STATIC", "Fast", 0, 290, 172, 30, 16);
    HWND speed = Add(1, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 212, 148, 108, 24, kIdSpeed);
    SendMessageA(speed, TBM_SETRANGE, TRUE, MAKELPARAM(1, 50));
  }

  void BuildAuthorPage() {
    const DWORD memo = WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
    if (!Project.ShowAuthorInfo) {
      Add(2, "EDIT", Project.Description.c_str(), memo, 8, 28, 313, 190, kIdDescription, WS_EX_CLIENTEDGE);
      return;
    }
    int y = 30;
    Add(2, "STATIC", "Author Name:", 0, 8, y, 80, 16);
    Add(2, "STATIC", Project.AuthorName.c_str(), 0, 92, y, 225, 16, kIdAuthor);
    y += 22;
    if (Project.ShowWebsite) {
      Add(2, "STATIC", "Our website:", 0, 8, y, 80, 16);
      Add(2, "STATIC", Project.Website.c_str(), 0, 92, y, 130, 16, kIdWebsite);
      Add(2, "BUTTON", "Visit our website", WS_TABSTOP | BS_FLAT, 222, y - 3, 98, 22, kIdVisit);
      y += 22;
    }
    if (Project.ShowEmail) {
      Add(2, "STATIC", "Email:", 0, 8, y, 80, 16);
      Add(2, "STATIC", Project.Email.c_str(), 0, 92, y, 225, 16, kIdEmail);
      y += 22;
    }
    if (Project.ShowDescription)
      Add(2, "EDIT", Project.Description.c_str(), memo, 8, y, 313, 218 - y, kIdDescription, WS_EX_CLIENTEDGE);
  }

  void ShowPage(int page) {
    for (size_t p = 0; p < 3; ++p)
      for (HWND c : pages_[p]) ShowWindow(c, int(p) == page ? SW_SHOW : SW_HIDE);
  }

  void FillControls() {
    const TRWSetting& s = *Settings;
    SendMessageA(Item(kIdMouseSensitivity), TBM_SETPOS, TRUE, 20 - s.MouseSensitivity);
    SetChecked(kIdMouseMove, s.MouseMove && Project.MenuEnabled == 0);
    SetChecked(kIdMouseLeftClick, s.MouseLeftClick);
    SetChecked(kIdMouseRightClick, s.MouseRightClick && Project.MenuEnabled == 0);
    SetChecked(kIdMouseDoubleClick, s.MouseDoubleClick);
    SetChecked(kIdEscKey, s.EscKey);
    SetChecked(kIdEnterKey, s.EnterKey);
    SetChecked(kIdSpecifyKey, s.SpecifiedKey);
    SetWindowTextA(Item(kIdKeyValue), s.KeyValue.c_str());
    SetChecked(kIdEnabledMusic, s.EnabledMusic);
    SetChecked(kIdMaxRuntime, s.UseMaxRunTime);
    SendMessageA(Item(kIdMaxRuntimeUpDown), UDM_SETPOS32, 0, static_cast<int16_t>(s.MaxRunTime & 0xFFFF));
    HWND list = Item(kIdTransitionList);
    const std::string& text = s.Transition;
    size_t start = 0;
    for (size_t semi; (semi = text.find(';', start)) != std::string::npos; start = semi + 1) {
      std::string piece = TrimControls(text.substr(start, semi - start));
      char* end = nullptr;
      long index = std::strtol(piece.c_str(), &end, 10);
      if (piece.empty() || *end != 0) index = 0;  // a piece that is no number checks the first item
      if (index >= 0 && index < kTransitionCount) ListView_SetCheckState(list, int(index), TRUE);
    }
    SetChecked(kIdRandomTransition, s.RandomTransition);
    SendMessageA(Item(kIdSpeed), TBM_SETPOS, TRUE, s.TransitionSpeed);
    SetChecked(kIdTransitionUsed, s.NewTransition);
    ckbtransitionusedClick();
  }

  void ckbtransitionusedClick() {
    bool on = Checked(kIdTransitionUsed);
    for (int id : {kIdTransitionList, kIdSelectAll, kIdClearAll, kIdRandomTransition, kIdSpeed})
      EnableWindow(Item(id), on);
  }

  bool SaveSettings() {
    TRWSetting& s = *Settings;
    if (s.EnabledPassword) {
      // The password page is never shown: both of its boxes hold the stored password.
      std::string p = TrimControls(s.Pwd);
      if (p.empty()) {
        MessageBoxA(form_.Handle(), kPleaseInputPassword, kCaption, MB_OK);
        return false;
      }
      s.Pwd = p;
    }
    s.MouseSensitivity = 20 - static_cast<int32_t>(SendMessageA(Item(kIdMouseSensitivity), TBM_GETPOS, 0, 0));
    s.MouseMove = Checked(kIdMouseMove);
    s.MouseLeftClick = Checked(kIdMouseLeftClick);
    s.MouseRightClick = Checked(kIdMouseRightClick);
    s.MouseDoubleClick = Checked(kIdMouseDoubleClick);
    s.EscKey = Checked(kIdEscKey);
    s.EnterKey = Checked(kIdEnterKey);
    s.SpecifiedKey = Checked(kIdSpecifyKey);
    s.KeyValue = TextOf(Item(kIdKeyValue));
    s.EnabledMusic = Checked(kIdEnabledMusic);
    s.UseMaxRunTime = Checked(kIdMaxRuntime);
    s.MaxRunTime = static_cast<int16_t>(SendMessageA(Item(kIdMaxRuntimeUpDown), UDM_GETPOS32, 0, 0));
    std::string list;
    for (int i = 0; i < kTransitionCount; ++i)
      if (ListView_GetCheckState(Item(kIdTransitionList), i)) list += std::to_string(i) + ";";
    s.Transition = list;
    s.RandomTransition = Checked(kIdRandomTransition);
    s.TransitionSpeed = static_cast<int32_t>(SendMessageA(Item(kIdSpeed), TBM_GETPOS, 0, 0));
    s.NewTransition = Checked(kIdTransitionUsed);
    return s.SaveToRegistry();
  }

  bool Command(int id, int code) {
    switch (id) {
      case IDOK: return SaveSettings();
      case IDCANCEL: return true;
      case kIdTransitionUsed:
        if (code == BN_CLICKED) ckbtransitionusedClick();
        return false;
      case kIdSelectAll:
      case kIdClearAll:
        for (int i = 0; i < kTransitionCount; ++i) ListView_SetCheckState(Item(kIdTransitionList), i, id == kIdSelectAll);
        return false;
      case kIdVisit:
        ShellExecuteA(form_.Handle(), "open", Project.Website.c_str(), nullptr, nullptr, SW_SHOW);
        return false;
    }
    return false;
  }

  ModalForm form_;
  int left_ = 0;
  HBITMAP banner_ = nullptr;
  std::vector<HWND> pages_[3];
};

}  // namespace

void RunSettingsDialog(const std::string& executablePath, RegistryStore& registry, uintptr_t owner) {
  TfSetting dialog(executablePath, registry, reinterpret_cast<HWND>(owner));
  dialog.Run();
}

}  // namespace vitrine
