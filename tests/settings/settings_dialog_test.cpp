#include "settings/settings_dialog.h"

#include <gtest/gtest.h>

#include "package/memory_file_system.h"
#include "package/package_writer.h"
#include "raster/canvas.h"
#include "raster/image_files.h"
#include "settings/about_box.h"
#include "settings/memory_registry_store.h"
#include "settings/setting_test_services.h"

namespace vitrine {
namespace {

const char* const kKey = "Software\\quorlaxis\\Sunset";

class SettingDialogTest : public ::testing::Test {
 protected:
  void Package(PackageRecord project, std::vector<uint8_t> banner = {}) {
    project.push_back({30, "Sunset.scr"});
    PackageContent content;
    content.ProjectRecord = std::move(project);
    content.Banner = std::move(banner);
    files.Files[services.executablePath] = BuildPackage(content, 0);
  }
  TfSetting& Show(PackageRecord project = {}) {
    if (!files.Exists(services.executablePath)) Package(std::move(project));
    dialog = std::make_unique<TfSetting>(services, files, registry);
    dialog->FormShow();
    return *dialog;
  }
  std::vector<int> CheckedItems() const {
    std::vector<int> items;
    for (size_t i = 0; i < dialog->clbInEffect.Checked.size(); ++i)
      if (dialog->clbInEffect.Checked[i]) items.push_back(int(i));
    return items;
  }
  const MemoryRegistryStore::Value& Stored(const std::string& name) { return registry.Keys.at(kKey).at(name); }

  test::RecordingServices services;
  MemoryFileSystem files;
  MemoryRegistryStore registry;
  std::unique_ptr<TfSetting> dialog;
};

TEST_F(SettingDialogTest, OpensWithTheDefaultsWhenNoKeyExists) {
  TfSetting& d = Show();
  EXPECT_TRUE(d.ckbMouseMove.Checked);
  EXPECT_FALSE(d.ckbMouseLeftClick.Checked);
  EXPECT_TRUE(d.ckbMouseRightClick.Checked);
  EXPECT_TRUE(d.ckbMouseDoubleClick.Checked);
  EXPECT_TRUE(d.ckbEscKey.Checked);
  EXPECT_TRUE(d.ckbEnterkey.Checked);
  EXPECT_FALSE(d.ckbSpecifyKey.Checked);
  EXPECT_TRUE(d.ckbEnabledMusic.Checked);
  EXPECT_FALSE(d.ckbMaxRuntime.Checked);
  EXPECT_EQ(d.tbMouseSensitivity.Position, 15);
  EXPECT_EQ(d.udMaxRunTime.Position, 60);
  EXPECT_EQ(d.edtMaxruntime.Text, "60");
  EXPECT_EQ(d.edtKeyValue.Text, "A");
  EXPECT_EQ(CheckedItems().size(), 161u);  // a new user starts with the 161, as before
  ASSERT_EQ(d.clbInEffect.Items.size(), 164u);
  EXPECT_TRUE(d.ckbRandomInEffect.Checked);
  EXPECT_EQ(d.tbInSpeed.Position, 25);
  EXPECT_FALSE(d.ckbtransitionused.Checked);
  for (bool enabled : {d.clbInEffect.Enabled, d.btnInSelectAll.Enabled, d.btnInClearAll.Enabled,
                       d.ckbRandomInEffect.Enabled, d.tbInSpeed.Enabled})
    EXPECT_FALSE(enabled);
  EXPECT_TRUE(registry.Keys.empty());  // showing writes nothing

  d.SetTransitionUsed(true);
  EXPECT_TRUE(d.clbInEffect.Enabled && d.btnInSelectAll.Enabled && d.tbInSpeed.Enabled);
}

TEST_F(SettingDialogTest, SavingWritesTheControlsBack) {
  TfSetting& d = Show();
  d.ckbMouseLeftClick.Checked = true;
  d.ckbEscKey.Checked = false;
  d.tbMouseSensitivity.SetPosition(18);
  d.edtKeyValue.Text = "q";  // stored as typed
  d.ckbSpecifyKey.Checked = true;
  d.udMaxRunTime.Position = 120;
  d.ckbMaxRuntime.Checked = true;
  d.SetTransitionUsed(true);
  d.btnInClearAllClick();
  d.tbInSpeed.SetPosition(50);
  d.btnOKClick();
  EXPECT_TRUE(d.Closed);
  EXPECT_EQ(std::get<uint32_t>(Stored("Mouse Left Click")), 1u);
  EXPECT_EQ(std::get<uint32_t>(Stored("Esc Key")), 0u);
  EXPECT_EQ(std::get<uint32_t>(Stored("Mouse Sensitivity")), 2u);
  EXPECT_EQ(std::get<std::string>(Stored("Key Value")), "q");
  EXPECT_EQ(std::get<uint32_t>(Stored("Max Run Time")), 120u);
  EXPECT_EQ(std::get<std::string>(Stored("transition")), "");
  EXPECT_EQ(std::get<uint32_t>(Stored("transition speed")), 50u);

  TRWSetting reread("Sunset.scr", registry);
  ASSERT_TRUE(reread.LoadFromRegistry());
  EXPECT_TRUE(reread.NewTransition);
  EXPECT_TRUE(reread.UseMaxRunTime);
  EXPECT_TRUE(reread.SpecifiedKey);
}

TEST_F(SettingDialogTest, MenuEnabledUnchecksAndDisablesMoveAndRightClick) {
  TfSetting& d = Show({{34, "1"}});
  EXPECT_FALSE(d.ckbMouseMove.Checked);
  EXPECT_FALSE(d.ckbMouseMove.Enabled);
  EXPECT_FALSE(d.ckbMouseRightClick.Checked);
  EXPECT_FALSE(d.ckbMouseRightClick.Enabled);
  EXPECT_TRUE(d.ckbMouseDoubleClick.Enabled);
  d.Save1Click();
  EXPECT_FALSE(d.Closed);
  EXPECT_EQ(std::get<uint32_t>(Stored("Mouse Move")), 0u);
  EXPECT_EQ(std::get<uint32_t>(Stored("Mouse Right Click")), 0u);
}

TEST_F(SettingDialogTest, PasswordRule) {
  TRWSetting stored("Sunset.scr", registry);
  stored.EnabledPassword = true;
  stored.Pwd = "";
  stored.MouseLeftClick = true;
  ASSERT_TRUE(stored.SaveToRegistry());
  TfSetting& d = Show();
  d.ckbMouseLeftClick.Checked = false;
  d.btnOKClick();
  EXPECT_FALSE(d.Closed);
  EXPECT_EQ(services.messages, (std::vector<std::string>{"Please input password!"}));
  EXPECT_EQ(std::get<uint32_t>(Stored("Mouse Left Click")), 1u);  // nothing written

  d.edtPassword.Text = " \tOpen ";
  d.edtConform.Text = "open";
  d.btnOKClick();
  EXPECT_FALSE(d.Closed);
  EXPECT_EQ(services.messages.back(), "New Password <> Confirm Password");

  d.edtConform.Text = "Open\r\n";
  d.btnOKClick();
  EXPECT_TRUE(d.Closed);
  EXPECT_EQ(services.messages.size(), 2u);
  EXPECT_EQ(std::get<std::string>(Stored("Pwd")), "Open");

  // Unchecked, the loaded password is written back whatever the edits hold.
  dialog.reset();
  TfSetting& again = Show();
  again.ckbEnabledPassword.Checked = false;
  again.edtPassword.Text = "";
  again.Save1Click();
  EXPECT_EQ(std::get<std::string>(Stored("Pwd")), "Open");
  EXPECT_EQ(std::get<uint32_t>(Stored("Enabled password")), 0u);
}

TEST_F(SettingDialogTest, StoredTransitionListChecksItsItems) {
  TRWSetting stored("Sunset.scr", registry);
  stored.Transition = "3;x;7; 200;-1;160;12";  // past the last ";" is ignored
  stored.NewTransition = true;
  ASSERT_TRUE(stored.SaveToRegistry());
  TfSetting& d = Show();
  EXPECT_EQ(CheckedItems(), (std::vector<int>{0, 3, 7, 160}));
  EXPECT_TRUE(d.ckbtransitionused.Checked);
  EXPECT_TRUE(d.clbInEffect.Enabled);
  d.Save1Click();
  EXPECT_EQ(std::get<std::string>(Stored("transition")), "0;3;7;160;");
  d.btnInSelectAllClick();
  EXPECT_EQ(CheckedItems().size(), 164u);  // the 161 and the timed transitions after them
}

TEST_F(SettingDialogTest, OutOfRangeTrackBarAndUpDownValues) {
  TRWSetting stored("Sunset.scr", registry);
  stored.MouseSensitivity = 25;  // position -5, kept at 1
  stored.TransitionSpeed = 0;
  stored.MaxRunTime = 70000;  // low 16 bits: 4464
  ASSERT_TRUE(stored.SaveToRegistry());
  TfSetting& d = Show();
  EXPECT_EQ(d.tbMouseSensitivity.Position, 1);
  EXPECT_EQ(d.tbInSpeed.Position, 1);
  EXPECT_EQ(d.udMaxRunTime.Position, 4464);
  d.udMaxRunTime.Position = -2;
  d.Save1Click();
  EXPECT_EQ(std::get<uint32_t>(Stored("Mouse Sensitivity")), 19u);
  EXPECT_EQ(std::get<uint32_t>(Stored("Max Run Time")), 0xFFFFFFFEu);
}

TEST_F(SettingDialogTest, PagesMenusAndAuthorRows) {
  TfSetting& plain = Show({{29, "All about it"}});
  EXPECT_FALSE(plain.tbNormal.TabVisible);
  EXPECT_TRUE(plain.tbAdvance.TabVisible && plain.tsTransition.TabVisible);
  EXPECT_TRUE(plain.tbDesc.TabVisible);
  EXPECT_FALSE(plain.tbAuthInfo.TabVisible);
  EXPECT_EQ(plain.memdesc.Text, "All about it");
  EXPECT_FALSE(plain.Action1.Visible || plain.mmVisitourwebsite.Visible || plain.mmHelp.Visible);

  files.Files.clear();
  Package({{15, "1"}, {16, "Ann"}, {17, "1"}, {18, "http://example.test/"}, {19, "0"}, {20, "a@b"},
           {28, "1"}, {29, "Desc"}, {24, "1"}});
  TfSetting& author = Show();
  EXPECT_TRUE(author.tbAuthInfo.TabVisible);
  EXPECT_FALSE(author.tbDesc.TabVisible);
  EXPECT_EQ(author.lbAuthor.Caption, "Ann");
  EXPECT_TRUE(author.plAuthweb.Visible);
  EXPECT_EQ(author.lbAuthWebSite.Caption, "http://example.test/");
  EXPECT_FALSE(author.plAuthEMail.Visible);
  EXPECT_EQ(author.lbEMail.Caption, "");
  EXPECT_TRUE(author.edtDesc.Visible);
  EXPECT_EQ(author.edtDesc.Text, "Desc");
  EXPECT_TRUE(author.Action1.Visible && author.mmVisitourwebsite.Visible && author.mmHelp.Visible);
  author.mmVisitourwebsiteClick();
  author.btnvisitClick();
  author.imgDlgClick();
  EXPECT_EQ(services.opened, std::vector<std::string>(3, "http://example.test/"));
}

TEST_F(SettingDialogTest, BannerStretchedOverTheImageOrTheFormNarrower) {
  TfSetting& none = Show();
  EXPECT_FALSE(none.plDlgImage.Visible);
  EXPECT_EQ(none.ClientWidth, 329);

  Bitmap banner(2, 2);
  Canvas(banner).FillRect({0, 0, 2, 1}, RGBColor(255, 0, 0));
  Canvas(banner).FillRect({0, 1, 2, 2}, RGBColor(0, 0, 255));
  files.Files.clear();
  Package({{9, "1"}, {31, "banner.bmp"}}, EncodeBmp(banner));
  TfSetting& shown = Show();
  EXPECT_TRUE(shown.plDlgImage.Visible);
  EXPECT_EQ(shown.ClientWidth, 450);
  ASSERT_EQ(shown.imgDlg.Width(), 100);
  ASSERT_EQ(shown.imgDlg.Height(), 250);
  EXPECT_EQ(shown.imgDlg.GetPixel(99, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(shown.imgDlg.GetPixel(0, 124), RGBColor(255, 0, 0));
  EXPECT_EQ(shown.imgDlg.GetPixel(50, 125), RGBColor(0, 0, 255));

  // Not embedded and not on disk: the frame stays empty.
  files.Files.clear();
  Package({{9, "1"}, {38, "0"}, {31, "/saver/missing.bmp"}});
  EXPECT_TRUE(Show().imgDlg.Empty());
  files.Files["/saver/missing.bmp"] = EncodeBmp(banner);
  EXPECT_EQ(Show().imgDlg.GetPixel(0, 249), RGBColor(0, 0, 255));
}

TEST_F(SettingDialogTest, CancelAndExitCloseWithoutSaving) {
  TfSetting& d = Show();
  d.ckbEscKey.Checked = false;
  d.btnCancelClick();
  EXPECT_TRUE(d.Closed);
  dialog.reset();
  Show().Exit1Click();
  EXPECT_TRUE(dialog->Closed);
  EXPECT_TRUE(registry.Keys.empty());
}

TEST_F(SettingDialogTest, AboutShowsTheDialogsProject) {
  services.physicalMemory = uint64_t(2) << 20;
  TfSetting& d = Show({{26, "3.1"}});
  std::vector<std::string> seen;
  d.RunAbout = [&](TfSettingAbout& about) { seen = {about.Caption, about.lbVersion, about.lbMemory}; };
  d.About1Click();
  EXPECT_EQ(seen, (std::vector<std::string>{"About Sunset.scr", "3.1", "2048 K"}));
  EXPECT_FALSE(d.Closed);
}

}  // namespace
}  // namespace vitrine
