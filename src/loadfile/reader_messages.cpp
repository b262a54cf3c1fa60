#include "loadfile/reader_messages.h"

namespace loadfile {

namespace {

struct Words {
  std::string_view english, romanian;
};

Words words_of(Expected expected) {
  switch (expected) {
    case Expected::operator_code: return {"the operator code (ACH or NEWMARK)", "codul operatorului (ACH sau NEWMARK)"};
    case Expected::coefficients: return {"the operator coefficients", "coeficientii operatorului"};
    case Expected::case_count: return {"the number of loading cases (0 to 99)", "numarul de cazuri de incarcare (0 la 99)"};
    case Expected::damping_code: return {"the damping code (0 to 4)", "codul de amortizare (0 la 4)"};
    case Expected::tolerance: return {"the tolerance and the iteration limit", "toleranta si numarul limita de iteratii"};
    case Expected::case_parameters: return {"the case parameters", "parametrii cazului"};
    case Expected::loading_type: return {"a loading type of 0, 1, 2, -1 or -2", "un tip de incarcare 0, 1, 2, -1 sau -2"};
    case Expected::initial_conditions: return {"the initial conditions and their end line", "conditiile initiale si linia lor de sfarsit"};
    case Expected::initial_accelerations: return {"the initial accelerations", "acceleratiile initiale"};
    case Expected::niu: return {"the damping value niu", "valoarea de amortizare niu"};
    case Expected::damping_values: return {"the damping values", "valorile de amortizare"};
    case Expected::diameters: return {"the element diameters and the line end_Diameters", "diametrele elementelor si linia end_Diameters"};
    case Expected::zeta: return {"the damping value zeta", "valoarea de amortizare zeta"};
    case Expected::initial_loading: return {"the initial loading and its end line", "incarcarea initiala si linia ei de sfarsit"};
    case Expected::loading_parameters: return {"the loading parameters (omega, phi)", "parametrii incarcarii (omega, phi)"};
    case Expected::loading_data: return {"the loading data and their end line", "datele incarcarii si linia lor de sfarsit"};
    case Expected::node_ranges_limit: return {"at most one node range per node of the model", "cel mult un interval de noduri pentru fiecare nod al modelului"};
  }
  return {"", ""};
}

}  // namespace

std::string expected_text(const ReadFault& fault, int n_nodes, bool romanian) {
  const Words words = words_of(fault.expected);
  std::string what(romanian ? words.romanian : words.english);
  if (fault.expected == Expected::node_ranges_limit)
    what += std::string(" (") + std::to_string(n_nodes) + (romanian ? " noduri)" : " nodes)");
  if (fault.case_number > 0)
    what += (romanian ? ", cazul " : " of case ") + std::to_string(fault.case_number);
  return what;
}

Problem fault_problem(const std::string& path, const ReadFault& fault, int n_nodes) {
  return {path, fault.line, Severity::error, "expected " + expected_text(fault, n_nodes, false),
          "se astepta " + expected_text(fault, n_nodes, true), fault.at_end};
}

}  // namespace loadfile
