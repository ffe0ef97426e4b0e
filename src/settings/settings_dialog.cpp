#include "settings/settings_dialog.h"

#include "core/text.h"
#include "package/picture_loading.h"
#include "package/picture_type.h"
#include "raster/canvas.h"
#include "settings/about_box.h"
#include "transitions/catalogue.h"

namespace vitrine {

TfSetting::TfSetting(Services& services, FileSystem& files, RegistryStore& registry)
    : services_(services), files_(files), registry_(registry) {
  for (const TransitionEntry& entry : TransitionCatalogue()) clbInEffect.Items.emplace_back(entry.name);
  clbInEffect.Checked.assign(clbInEffect.Items.size(), false);
}

TfSetting::~TfSetting() { FormDestroy(); }

void TfSetting::FormDestroy() {
  settings_.reset();
  project_.reset();
}

void TfSetting::FormShow() {
  project_ = std::make_unique<TProjectInfo>(services_.ExecutablePath(), files_);
  project_->ReadProject();
  TProjectInfo& p = *project_;

  settings_ = std::make_unique<TRWSetting>(p.SaverName, registry_);
  settings_->LoadFromRegistry();

  if (p.ShowBanner) {
    DrawBanner();
  } else {
    plDlgImage.Visible = false;
    ClientWidth -= kBannerPanelWidth;
  }

  tbAuthInfo.TabVisible = p.ShowAuthorInfo;
  tbDesc.TabVisible = !p.ShowAuthorInfo;

  Action1.Visible = mmVisitourwebsite.Visible = p.ShowWebsite && p.ShowAuthorInfo;
  mmHelp.Visible = p.ShowHelpMenu;

  if (p.ShowAuthorInfo) {
    lbAuthor.Caption = p.AuthorName;
    plAuthweb.Visible = p.ShowWebsite;
    if (p.ShowWebsite) lbAuthWebSite.Caption = p.Website;
    plAuthEMail.Visible = p.ShowEmail;
    if (p.ShowEmail) lbEMail.Caption = p.Email;
    edtDesc.Visible = p.ShowDescription;
    if (p.ShowDescription) edtDesc.Text = p.Description;
  } else {
    memdesc.Text = p.Description;
  }

  ckbMouseMove.Enabled = p.MenuEnabled == 0;
  ckbMouseRightClick.Enabled = p.MenuEnabled == 0;

  FillControls();
}

void TfSetting::DrawBanner() {
  Bitmap banner;
  bool decoded = false;
  if (project_->PicturesEmbedded) {
    MemoryStream stream;
    int32_t type = kNoPictureType;
    if (project_->GetBannerStream(stream, type)) {
      stream.Rewind();
      decoded = LoadPictureFromStream(stream, banner, type);
    }
  } else if (files_.Exists(project_->BannerFile)) {
    // Read through the dialog's file system, as the project reads the package.
    auto file = files_.OpenRead(project_->BannerFile);
    int64_t size = file ? file->Size() : -1;
    if (size < 0) throw Error(FormatWithString("Cannot open file %s", project_->BannerFile));
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    for (int64_t n; (n = file->Read(chunk, sizeof chunk)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    MemoryStream stream(std::move(bytes));
    decoded = LoadPictureFromStream(stream, banner, PictureTypeOfFile(project_->BannerFile));
  }
  if (!decoded || banner.Empty()) return;
  imgDlg.Reset(kBannerImageWidth, kBannerImageHeight, PixelFormat::Xrgb8888);
  Canvas(imgDlg).StretchDraw(imgDlg.Bounds(), banner);
}

void TfSetting::FillControls() {
  const TRWSetting& s = *settings_;
  int32_t menuEnabled = project_ ? project_->MenuEnabled : 0;
  ckbEnabledPassword.Checked = s.EnabledPassword;
  edtPassword.Text = s.Pwd;
  edtConform.Text = s.Pwd;
  tbMouseSensitivity.SetPosition(20 - s.MouseSensitivity);
  ckbMouseMove.Checked = s.MouseMove && menuEnabled == 0;
  ckbMouseLeftClick.Checked = s.MouseLeftClick;
  ckbMouseRightClick.Checked = s.MouseRightClick && menuEnabled == 0;
  ckbMouseDoubleClick.Checked = s.MouseDoubleClick;
  ckbEscKey.Checked = s.EscKey;
  ckbEnterkey.Checked = s.EnterKey;
  ckbSpecifyKey.Checked = s.SpecifiedKey;
  edtKeyValue.Text = s.KeyValue;
  ckbEnabledMusic.Checked = s.EnabledMusic;
  ckbMaxRuntime.Checked = s.UseMaxRunTime;
  udMaxRunTime.Position = static_cast<int16_t>(static_cast<uint16_t>(s.MaxRunTime & 0xFFFF));
  edtMaxruntime.Text = std::to_string(udMaxRunTime.Position);
  cbMonitors.ItemIndex = s.Monitors;

  // Every piece before a ";" checks its item; one that is no number checks the first.
  const std::string& list = s.Transition;
  size_t start = 0;
  for (size_t semi; (semi = list.find(';', start)) != std::string::npos; start = semi + 1) {
    int32_t index = 0;
    if (!TryStrToInt(std::string_view(list).substr(start, semi - start), index)) index = 0;
    // Indices outside the list come only from a hand-edited registry; they check nothing.
    if (index >= 0 && size_t(index) < clbInEffect.Checked.size()) clbInEffect.Checked[size_t(index)] = true;
  }

  ckbRandomInEffect.Checked = s.RandomTransition;
  tbInSpeed.SetPosition(s.TransitionSpeed);

  if (ckbtransitionused.Checked == s.NewTransition) ckbtransitionusedClick();
  SetTransitionUsed(s.NewTransition);
}

void TfSetting::SetTransitionUsed(bool checked) {
  if (ckbtransitionused.Checked == checked) return;
  ckbtransitionused.Checked = checked;
  ckbtransitionusedClick();
}

void TfSetting::ckbtransitionusedClick() {
  bool on = ckbtransitionused.Checked;
  clbInEffect.Enabled = on;
  btnInSelectAll.Enabled = on;
  btnInClearAll.Enabled = on;
  ckbRandomInEffect.Enabled = on;
  tbInSpeed.Enabled = on;
}

void TfSetting::btnInSelectAllClick() {
  for (size_t i = 0; i < clbInEffect.Checked.size(); ++i) clbInEffect.Checked[i] = true;
}

void TfSetting::btnInClearAllClick() {
  for (size_t i = 0; i < clbInEffect.Checked.size(); ++i) clbInEffect.Checked[i] = false;
}

bool TfSetting::SaveSettings() {
  TRWSetting& s = *settings_;
  if (ckbEnabledPassword.Checked) {
    std::string password(TrimControl(edtPassword.Text));
    std::string confirm(TrimControl(edtConform.Text));
    if (password.empty()) {
      services_.MessageBox(setting_text::kPleaseInputPassword);
      return false;
    }
    if (password != confirm) {
      services_.MessageBox(setting_text::kPasswordsDiffer);
      return false;
    }
    s.Pwd = password;
  }
  s.EnabledPassword = ckbEnabledPassword.Checked;
  s.MouseSensitivity = 20 - tbMouseSensitivity.Position;
  s.MouseMove = ckbMouseMove.Checked;
  s.MouseLeftClick = ckbMouseLeftClick.Checked;
  s.MouseRightClick = ckbMouseRightClick.Checked;
  s.MouseDoubleClick = ckbMouseDoubleClick.Checked;
  s.EscKey = ckbEscKey.Checked;
  s.EnterKey = ckbEnterkey.Checked;
  s.SpecifiedKey = ckbSpecifyKey.Checked;
  s.KeyValue = edtKeyValue.Text;
  s.EnabledMusic = ckbEnabledMusic.Checked;
  s.UseMaxRunTime = ckbMaxRuntime.Checked;
  s.MaxRunTime = udMaxRunTime.Position;
  s.Monitors = cbMonitors.ItemIndex;
  s.Transition.clear();
  for (size_t i = 0; i < clbInEffect.Checked.size(); ++i)
    if (clbInEffect.Checked[i]) s.Transition += std::to_string(i) + ";";
  s.RandomTransition = ckbRandomInEffect.Checked;
  s.TransitionSpeed = tbInSpeed.Position;
  s.NewTransition = ckbtransitionused.Checked;
  return s.SaveToRegistry();
}

void TfSetting::btnOKClick() {
  if (SaveSettings()) Closed = true;
}

void TfSetting::Save1Click() { SaveSettings(); }

void TfSetting::btnCancelClick() { Closed = true; }

void TfSetting::Exit1Click() { Closed = true; }

void TfSetting::About1Click() {
  TfSettingAbout about(*project_, services_);
  about.FormShow();
  if (RunAbout) RunAbout(about);
}

void TfSetting::OpenWebsite() {
  // The whole address goes to the shell, however long.
  services_.ShellOpen(project_->Website);
}

void TfSetting::mmVisitourwebsiteClick() { OpenWebsite(); }
void TfSetting::btnvisitClick() { OpenWebsite(); }
void TfSetting::imgDlgClick() { OpenWebsite(); }

}  // namespace vitrine
