#pragma once
// The settings dialog: a plain model of its controls, their texts, and `TfSetting`, the
// dialog's behaviour over that model. A platform binds real controls to the model, calls
// the handlers on the user's actions, and closes the window when Closed becomes true.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/file_system.h"
#include "package/project_info.h"
#include "platform/services.h"
#include "raster/bitmap.h"
#include "settings/read_write_setting.h"
#include "settings/registry_store.h"

namespace vitrine {

class TfSettingAbout;

namespace setting_text {
inline constexpr const char* kForm = "Screensaver Setting";
inline constexpr const char* kOK = "OK";
inline constexpr const char* kCancel = "Cancel";
// Pages.
inline constexpr const char* kNormal = "Normal";
inline constexpr const char* kSetting = "Setting";
inline constexpr const char* kTransitions = "Transitions";
inline constexpr const char* kAuthorInformation = "Author Infomation";
inline constexpr const char* kDescription = "Description";
// The password page.
inline constexpr const char* kPasswordSetting = "Password Setting";
inline constexpr const char* kEnabledPassword = "Enabled Password";
inline constexpr const char* kNewPassword = "New Password";
inline constexpr const char* kConfirm = "Confirm";
inline constexpr char kPasswordChar = '*';
// The setting page.
inline constexpr const char* kCloseEvent = "Close Event";
inline constexpr const char* kMouseMove = "Mouse Move";
inline constexpr const char* kMouseLeftClick = "Mouse Left Click";
inline constexpr const char* kMouseRightClick = "Mouse Right Click";
inline constexpr const char* kMouseDoubleClick = "Mouse Double Click";
inline constexpr const char* kEscKey = "Esc Key";
inline constexpr const char* kEnterKey = "Enter Key";
inline constexpr const char* kSpecifyKey = "A specify Key";
inline constexpr const char* kKeyValue = "A";
inline constexpr const char* kNotice = "Notice: the key is case sensitivity";
inline constexpr const char* kMouseSensitivity = "Mouse Sensitivity";
inline constexpr const char* kLow = "Low";
inline constexpr const char* kHigh = "High";
inline constexpr const char* kEnabledMusic = "Enabled Music";
inline constexpr const char* kMaxRuntime = "Has a maxmize run time once the screen save start up";
inline constexpr const char* kMaxRunTimeLabel = "Max Run time";
inline constexpr const char* kMinutes = "Minutes";
inline constexpr const char* kMonitors = "Monitors";
// The choices of cbMonitors, in the order of the "Monitors" value 0 to 3.
inline constexpr std::array<const char*, 4> kMonitorChoices = {
    "Each monitor its own show", "The same show on every monitor", "One show across all monitors",
    "The primary monitor only"};
// The transitions page.
inline constexpr const char* kTransitionUsed = "Use following transition setting instead of the default setting.";
inline constexpr const char* kSelectAll = "Select All";
inline constexpr const char* kClearAll = "Clear All";
inline constexpr const char* kRandomTransitions = "Radom transitions";
inline constexpr const char* kSpeed = "Speed";
inline constexpr const char* kSlow = "Slow";
inline constexpr const char* kFast = "Fast";
// The author page.
inline constexpr const char* kAuthorName = "Author Name:";
inline constexpr const char* kOurWebsite = "Our website:";
inline constexpr const char* kVisitOurWebsite = "Visit our website";
inline constexpr const char* kEmail = "Email:";
// The menu.
inline constexpr const char* kFile = "File";
inline constexpr const char* kSave = "Save";
inline constexpr const char* kExit = "Exit";
inline constexpr const char* kAction = "Action";
inline constexpr const char* kHelp = "Help";
inline constexpr const char* kAbout = "About";
// Messages.
inline constexpr const char* kPleaseInputPassword = "Please input password!";
inline constexpr const char* kPasswordsDiffer = "New Password <> Confirm Password";
}  // namespace setting_text

inline constexpr int32_t kSettingClientWidth = 450;
inline constexpr int32_t kSettingClientHeight = 262;
inline constexpr int32_t kBannerPanelWidth = 121;
inline constexpr int32_t kBannerImageWidth = 100;
inline constexpr int32_t kBannerImageHeight = 250;

struct CheckBoxModel {
  std::string Caption;
  bool Checked = false;
  bool Enabled = true;
};

struct EditModel {
  std::string Text;
  int32_t MaxLength = 0;  // 0: no limit
  char PasswordChar = 0;
};

struct LabelModel {
  std::string Caption;
  bool Visible = true;
};

struct ButtonModel {
  std::string Caption;
  bool Enabled = true;
};

// A track bar or up-down keeps its position inside its range, as the controls do.
struct TrackBarModel {
  int32_t Min = 0, Max = 10;
  int32_t Position = 0;
  bool Enabled = true;
  void SetPosition(int32_t p) { Position = p < Min ? Min : (p > Max ? Max : p); }
};

struct UpDownModel {
  int32_t Min = 0, Max = 100;
  int16_t Position = 0;
};

struct CheckListModel {
  std::vector<std::string> Items;
  std::vector<bool> Checked;
  bool Enabled = true;
};

// A drop-down list: one of Items, by index.
struct ComboBoxModel {
  std::vector<std::string> Items;
  int32_t ItemIndex = 0;
  bool Enabled = true;
};

struct PageModel {
  std::string Caption;
  bool TabVisible = true;
};

struct MenuItemModel {
  std::string Caption;
  bool Visible = true;
};

struct PanelModel {
  bool Visible = true;
};

struct MemoModel {
  std::string Text;
  bool Visible = true;
};

class TfSetting {
 public:
  // The about box, shown modally by the platform; null: filled and dropped at once.
  using AboutRunner = std::function<void(TfSettingAbout& about)>;

  TfSetting(Services& services, FileSystem& files, RegistryStore& registry);
  ~TfSetting();

  // The window.
  std::string Caption = setting_text::kForm;
  int32_t ClientWidth = kSettingClientWidth;
  int32_t ClientHeight = kSettingClientHeight;
  bool Closed = false;

  PanelModel plDlgImage;
  Bitmap imgDlg;  // empty until a banner is drawn
  PageModel tbNormal{setting_text::kNormal, false};
  PageModel tbAdvance{setting_text::kSetting};
  PageModel tsTransition{setting_text::kTransitions};
  PageModel tbAuthInfo{setting_text::kAuthorInformation};
  PageModel tbDesc{setting_text::kDescription};
  ButtonModel btnOK{setting_text::kOK};
  ButtonModel btnCancel{setting_text::kCancel};

  CheckBoxModel ckbEnabledPassword{setting_text::kEnabledPassword};
  EditModel edtPassword{"", 0, setting_text::kPasswordChar};
  EditModel edtConform{"", 0, setting_text::kPasswordChar};

  CheckBoxModel ckbMouseMove{setting_text::kMouseMove};
  CheckBoxModel ckbMouseLeftClick{setting_text::kMouseLeftClick};
  CheckBoxModel ckbMouseRightClick{setting_text::kMouseRightClick};
  CheckBoxModel ckbMouseDoubleClick{setting_text::kMouseDoubleClick};
  CheckBoxModel ckbEscKey{setting_text::kEscKey};
  CheckBoxModel ckbEnterkey{setting_text::kEnterKey};
  CheckBoxModel ckbSpecifyKey{setting_text::kSpecifyKey};
  EditModel edtKeyValue{setting_text::kKeyValue, 1};
  TrackBarModel tbMouseSensitivity{1, 20, 1};
  CheckBoxModel ckbEnabledMusic{setting_text::kEnabledMusic};
  CheckBoxModel ckbMaxRuntime{setting_text::kMaxRuntime};
  EditModel edtMaxruntime{"", 3};
  UpDownModel udMaxRunTime{1, 999, 1};
  LabelModel lbMonitors{setting_text::kMonitors};
  ComboBoxModel cbMonitors{{setting_text::kMonitorChoices.begin(), setting_text::kMonitorChoices.end()}};

  CheckBoxModel ckbtransitionused{setting_text::kTransitionUsed};
  CheckListModel clbInEffect;
  ButtonModel btnInSelectAll{setting_text::kSelectAll};
  ButtonModel btnInClearAll{setting_text::kClearAll};
  CheckBoxModel ckbRandomInEffect{setting_text::kRandomTransitions};
  TrackBarModel tbInSpeed{1, 50, 1};

  PanelModel plAuthor, plAuthweb, plAuthEMail;
  LabelModel lbAuthor, lbAuthWebSite, lbEMail;
  MemoModel edtDesc;
  MemoModel memdesc;

  MenuItemModel Action1{setting_text::kAction};
  MenuItemModel mmVisitourwebsite{setting_text::kVisitOurWebsite};
  MenuItemModel mmHelp{setting_text::kHelp};

  AboutRunner RunAbout;

  void FormShow();
  void FormDestroy();
  void FillControls();
  bool SaveSettings();

  void btnOKClick();
  void btnCancelClick();
  void Save1Click();
  void Exit1Click();
  void About1Click();
  void mmVisitourwebsiteClick();
  void btnvisitClick();
  void imgDlgClick();
  void btnInSelectAllClick();
  void btnInClearAllClick();
  void ckbtransitionusedClick();
  // The check box changed by the program runs its click handler, as the control does.
  void SetTransitionUsed(bool checked);

  TProjectInfo* Project() { return project_.get(); }
  TRWSetting* Settings() { return settings_.get(); }

 private:
  void DrawBanner();
  void OpenWebsite();

  Services& services_;
  FileSystem& files_;
  RegistryStore& registry_;
  std::unique_ptr<TProjectInfo> project_;
  std::unique_ptr<TRWSetting> settings_;
};

}  // namespace vitrine
