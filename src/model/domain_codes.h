// The coded choices of a loading case and of the damping block. Each value is the code the
// loading file carries, so a code converts to and from its number only where a file is read or
// written; everywhere else the program names the choice.
#pragma once

namespace model {

enum class DampingType : int {
  none = 0,             // no damping records
  rayleigh = 1,         // alfa_d and beta_d
  structural = 2,       // zeta
  aero = 3,             // ro_air and c_drag, with the element diameters
  aero_structural = 4,  // aerodynamic, then zeta
};

enum class LoadingType : int {
  accelerogram_1_direction = -2,   // one component, in accel_direction
  accelerogram_3_directions = -1,  // X, Y and Z components
  discrete = 0,                    // time points with node-range loads
  sinusoidal = 1,                  // amplitudes times sin(omega t + phi)
  exponential = 2,                 // amplitudes times exp(omega t)
};

enum class AccelDirection : int {
  none = 0,  // not chosen yet
  x = 1,
  y = 2,
  z = 3,
};

enum class PrintingCode : int {
  nothing = -1,
  maximum_values = 0,
  time_history = 1,
  time_history_and_maximum = 2,
};

enum class MassModel : int {
  concentrated = 0,
  distributed = 1,
  concentrated_and_distributed = 2,
};

// The number a file carries for a code, and the code of a number read from a file (kept as
// read: a file may hold a number that names no choice, and writing it back keeps it).
template <typename Code>
constexpr int code_number(Code code) {
  return static_cast<int>(code);
}
template <typename Code>
constexpr Code code_from_number(int number) {
  return static_cast<Code>(number);
}

constexpr bool accelerogram(LoadingType type) { return code_number(type) < 0; }
constexpr bool aerodynamic(DampingType type) {
  return type == DampingType::aero || type == DampingType::aero_structural;
}

}  // namespace model
