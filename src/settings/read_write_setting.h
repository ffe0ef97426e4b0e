#pragma once
// The user's settings of one screen saver, loaded and saved whole from one registry key.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "settings/registry_store.h"

namespace vitrine {

class TRWSetting {
 public:
  // Builds KeyPath from the project's SaverName and sets the defaults; reads nothing. The
  // store must outlive the object: a load or save after the store is gone raises
  // EStoreGone instead of reaching freed memory.
  TRWSetting(const std::string& saverName, RegistryStore& store);
  // The same over a store that the object shares, so it stays as long as the object needs it.
  TRWSetting(const std::string& saverName, std::shared_ptr<RegistryStore> store);

  std::string KeyPath;
  bool EnabledPassword = false;
  std::string Pwd;
  int32_t MouseSensitivity = 5;
  bool MouseMove = true;
  bool MouseLeftClick = false;
  bool MouseRightClick = true;
  bool MouseDoubleClick = true;
  bool EscKey = true;
  bool EnterKey = true;
  bool SpecifiedKey = false;
  std::string KeyValue = "A";
  bool EnabledMusic = true;
  bool UseMaxRunTime = false;
  int32_t MaxRunTime = 60;
  bool NewTransition = false;
  std::string Transition;
  bool RandomTransition = true;
  int32_t TransitionSpeed = 25;
  // How a show uses several monitors (MonitorUse): 0 each its own show, 1 the same show on
  // each, 2 one show across all, 3 the primary only. Keys written before it existed lack it.
  int32_t Monitors = 0;

  // False, with every field unchanged, when the key is missing or can't be opened. A value
  // that can't be read raises ERegistryException; the values before it are already loaded.
  bool LoadFromRegistry();
  // False, writing nothing, when the key can't be opened or created. A value that can't be
  // written raises ERegistryException; the values before it stay written.
  bool SaveToRegistry();

  // Where a show in random order without repeats stands in its round (ShuffleRound's text).
  // Kept under the same key as "Shuffle Place", apart from the values above: the settings
  // dialog neither reads nor writes it, and a key without it reads as empty.
  std::string ShufflePlace;
  // False when the key is missing; an absent value reads as empty.
  bool LoadShufflePlace();
  // False when the key can't be opened or created; a failed write raises ERegistryException.
  // A key that does not exist yet is made with every value above first.
  bool SaveShufflePlace();

  // A programming error: the settings outlived the store they were made over.
  class EStoreGone : public std::logic_error {
   public:
    EStoreGone() : std::logic_error("TRWSetting used after its registry store was destroyed") {}
  };

 private:
  RegistryStore& Store() const;

  std::shared_ptr<RegistryStore> shared_;
  RegistryStore* store_;
  std::weak_ptr<const void> storeLifetime_;
};

// "Software\quorlaxis\" + the saver's name without its extension.
std::string SettingsKeyPath(const std::string& saverName);

}  // namespace vitrine
