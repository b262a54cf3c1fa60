// The words that close the sections of a loading file and of the case files, and the file itself,
// in both languages a file may be written in: one table for what is written and for what a
// reader takes as an end, so the two cannot part.
#pragma once

#include <string_view>

namespace model {

struct RecordWord {
  std::string_view english;
  std::string_view romanian;
  constexpr std::string_view in(bool romanian_file) const { return romanian_file ? romanian : english; }
};

// The end of the initial conditions in a loading file (its spelling is what the solver has
// always been given) and in a case file.
inline constexpr RecordWord conditions_end{"End Initial Displcements & Velocities", "End Deplasari & Viteze Initiale"};
inline constexpr RecordWord case_file_conditions_end{"End_of_Initial_Conditions", "Sfarsit_Conditii_Initiale"};
inline constexpr RecordWord initial_loading_end{"End_of_Initial_Loading", "Sfarsit_Incarcare_Initiala"};
// Followed by the case number: END_OF_CASE3.
inline constexpr RecordWord case_end{"END_OF_CASE", "SFARSIT_CAZ"};
// Followed by the file's path.
inline constexpr RecordWord file_end{"End_of_File: ", "Sfarsit de fisier: "};
// The element diameters close with this in either language.
inline constexpr std::string_view diameters_end = "end_Diameters";

}  // namespace model
