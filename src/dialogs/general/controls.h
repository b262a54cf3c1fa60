// Control identifiers of the General Data dialog (template 101).
#pragma once

#include <array>

#include "ui/toolkit.h"

namespace general::controls {

inline constexpr int general_data_template = 101;

inline constexpr ui::ControlId ok = 1;
inline constexpr ui::ControlId cancel = 2;
inline constexpr ui::ControlId select_geometry = 1109;
inline constexpr ui::ControlId geometry_path = 1003;
inline constexpr ui::ControlId max_time_points = 1104;
inline constexpr ui::ControlId n_nodes = 1035;
inline constexpr ui::ControlId n_dof = 1036;
inline constexpr ui::ControlId operator_combo = 1125;
inline constexpr ui::ControlId coefficient_combo = 1126;
inline constexpr ui::ControlId beta = 1008;
inline constexpr ui::ControlId gamma = 1009;
inline constexpr ui::ControlId delta = 1010;
inline constexpr ui::ControlId teta = 1011;
inline constexpr ui::ControlId teta1 = 1012;
inline constexpr ui::ControlId teta2 = 1013;
inline constexpr ui::ControlId n_loading_cases = 1006;
inline constexpr ui::ControlId load_old_file = 1111;
inline constexpr ui::ControlId save_changes = 1079;

// 1./Beta, 1./Gamma, 1./Delta, 1./Teta, 1./Teta1, 1./Teta2, in the order of the operator block.
inline constexpr std::array<ui::ControlId, 6> coefficients = {beta, gamma, delta, teta, teta1, teta2};

// Items of the two drop-downs.
inline constexpr int new_operator_item = 1;  // "New Operator"
inline constexpr int newmark_item = 2;       // "Newmark"
inline constexpr int standard_item = 1;      // "Standard"
inline constexpr int custom_item = 2;        // "Custom"

}  // namespace general::controls
