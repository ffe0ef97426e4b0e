#include "app/monitor_plan.h"

#include <algorithm>

namespace vitrine {

MonitorUse MonitorUseFromSetting(int32_t value) {
  return value >= 0 && value <= 3 ? static_cast<MonitorUse>(value) : MonitorUse::Each;
}

std::optional<MonitorUse> ParseMonitorUse(std::string_view text) {
  if (text == "each") return MonitorUse::Each;
  if (text == "same") return MonitorUse::Same;
  if (text == "span") return MonitorUse::Span;
  if (text == "primary") return MonitorUse::Primary;
  return std::nullopt;
}

MonitorPlan PlanMonitors(std::span<const MonitorInfo> monitors, MonitorUse use) {
  MonitorPlan plan;
  std::vector<MonitorInfo> order;
  for (const MonitorInfo& m : monitors)
    if (!m.Bounds.Empty()) order.push_back(m);
  if (order.empty()) return plan;
  auto primary = std::find_if(order.begin(), order.end(), [](const MonitorInfo& m) { return m.Primary; });
  if (primary == order.end()) primary = order.begin();
  std::rotate(order.begin(), primary, primary + 1);
  std::stable_sort(order.begin() + 1, order.end(), [](const MonitorInfo& a, const MonitorInfo& b) {
    return a.Bounds.left != b.Bounds.left ? a.Bounds.left < b.Bounds.left : a.Bounds.top < b.Bounds.top;
  });

  auto lead = [](const Rect& area) { return MonitorShowPlan{area, 0, true, true}; };
  switch (use) {
    case MonitorUse::Each:
      for (size_t i = 0; i < order.size(); ++i) {
        MonitorShowPlan show = lead(order[i].Bounds);
        if (i > 0) show = {order[i].Bounds, static_cast<int32_t>(i), false, false};
        plan.Shows.push_back(show);
        plan.Windows.push_back({order[i].Bounds, static_cast<int32_t>(i), false});
      }
      break;
    case MonitorUse::Same:
      // One cycle, drawn once for the primary monitor and shown on every monitor.
      plan.Shows.push_back(lead(order[0].Bounds));
      for (size_t i = 0; i < order.size(); ++i) plan.Windows.push_back({order[i].Bounds, 0, i > 0});
      break;
    case MonitorUse::Span: {
      Rect all = order[0].Bounds;
      for (const MonitorInfo& m : order)
        all = {std::min(all.left, m.Bounds.left), std::min(all.top, m.Bounds.top), std::max(all.right, m.Bounds.right),
               std::max(all.bottom, m.Bounds.bottom)};
      plan.Shows.push_back(lead(all));
      plan.Windows.push_back({all, 0, false});
      break;
    }
    case MonitorUse::Primary:
      plan.Shows.push_back(lead(order[0].Bounds));
      for (size_t i = 0; i < order.size(); ++i) plan.Windows.push_back({order[i].Bounds, i == 0 ? 0 : -1, false});
      break;
  }
  return plan;
}

}  // namespace vitrine
