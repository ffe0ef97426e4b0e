#include "app/monitor_shows.h"

#include <exception>

#include "package/project_info.h"
#include "settings/read_write_setting.h"

namespace vitrine {

MonitorUse StoredMonitorUse(const std::string& packagePath, FileSystem& files, RegistryStore& registry) {
  try {
    TProjectInfo project(packagePath, files);
    if (!project.IndexRead || !project.ReadProject()) return MonitorUse::Each;
    TRWSetting settings(project.SaverName, registry);
    settings.LoadFromRegistry();
    return MonitorUseFromSetting(settings.Monitors);
  } catch (const std::exception&) {
    return MonitorUse::Each;
  }
}

}  // namespace vitrine
