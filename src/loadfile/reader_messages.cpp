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

namespace {

std::string where(const Problem& p, bool romanian) {
  const std::string line = std::to_string(p.line);
  if (p.at_end) return (romanian ? "Fisierul se termina dupa linia " : "The file ends after line ") + line;
  return (romanian ? "Linia " : "Line ") + line;
}

std::string problems_text(const std::string& path, const ProblemList& problems, bool stopped, bool romanian) {
  std::string text = stopped ? (romanian ? "EROARE in fisierul de incarcare:\n" : "ERROR in the Loading File:\n")
                             : (romanian ? "ATENTIE: fisierul de incarcare a fost citit, dar aceste linii nu sunt cum "
                                           "le scrie programul:\n"
                                         : "WARNING: the Loading File was read, but these lines are not as the "
                                           "program writes them:\n");
  text += path;
  for (const Problem& p : problems) text += "\n" + where(p, romanian) + ": " + p.text(romanian) + " !";
  return text;
}

}  // namespace

void show_read_problems(Session& context, const std::string& path, const ProblemList& problems,
                        bool stopped) {
  if (problems.empty()) return;
  const ui::Icon icon = stopped || has_errors(problems) ? ui::Icon::error : ui::Icon::warning;
  context.message(problems_text(path, problems, stopped, false), problems_text(path, problems, stopped, true),
                  reader_message_title, icon);
}

void show_open_failure(Session& context, const std::string& path, const text::FileRead& why) {
  auto reason = [&why](bool romanian) -> std::string {
    switch (why.status) {
      case text::FileReadStatus::missing: return romanian ? "Fisierul nu exista !" : "The file does not exist !";
      case text::FileReadStatus::not_regular:
        return (romanian ? "Numele este " : "The name is ") + std::string(text::kind_words(why.kind, romanian)) +
               (romanian ? ", nu un fisier obisnuit !" : ", not a regular file !");
      case text::FileReadStatus::too_large: {
        const std::string limit = text::size_limit_words(text::max_text_file_bytes);
        return romanian ? "Fisierul are peste " + limit + ", limita unui fisier de incarcare !"
                        : "The file is larger than " + limit + ", the limit of a loading file !";
      }
      default: return romanian ? "Fisierul nu poate fi citit !" : "The file cannot be read !";
    }
  };
  context.message("ERROR: cannot open the Loading File:\n" + path + "\n" + reason(false),
                  "EROARE: nu se poate deschide fisierul de incarcare:\n" + path + "\n" + reason(true),
                  reader_message_title, ui::Icon::error);
}

void show_write_failure(Session& context, const std::string& name, const std::string& folder) {
  context.message("ERROR: cannot write the case file " + name + "\nin the folder " + folder + " !",
                  "EROARE: nu se poate scrie fisierul de caz " + name + "\nin directorul " + folder + " !",
                  reader_message_title, ui::Icon::error);
}

void show_time_point_limit(Session& context) {
  context.message(
      "The actual No. of Time Points > Maximum No. Inputed (Dialog #0) !\n\n"
      "RUN AGAIN & Increase the Maximum No. of Time Points",
      "Numarul actual de puncte de timp > Nr. maxim introdus (Dialog #0) !\n\n"
      "RULEAZA DIN NOU & Creste numarul maxim de puncte de timp",
      time_point_limit_title, ui::Icon::error);
}

}  // namespace loadfile
