// The Suite window of the Loading Cases dialog: records, a design spectrum, a design code with
// the structure's periods, a period range and a rule; the scaled spectra with their mean and the
// target, a table of factors and one of the code's verdicts; one loading file per record written
// into a folder. Its edits are read whole (up to 260 characters).
#pragma once

#include "ui/dialog_template.h"

namespace ui::templates {

enum class SuiteWindow : ControlId {
  close = 2,
  records = 2001,
  add = 2002,
  options = 2003,
  remove = 2004,
  target = 2005,
  parameters = 2006,
  from = 2007,
  to = 2008,
  rule = 2009,
  show = 2010,
  factors = 2011,
  folder = 2012,
  browse = 2013,
  write = 2014,
  save = 2015,
  status = 2016,
  chart = 2017,
  factors_heading = 2018,
  open = 2019,
  code = 2020,
  structure_periods = 2021,
  t90 = 2022,
  range = 2023,
  verdicts_heading = 2024,
  verdicts = 2025,
};
constexpr DialogId dialog_of(SuiteWindow) { return DialogId::suite; }

const DialogTemplate& suite_window();

}  // namespace ui::templates
