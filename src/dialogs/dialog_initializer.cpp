#include "dialogs/dialog_initializer.h"

#include "ui/templates/accelerogram.h"
#include "ui/templates/diameters.h"
#include "ui/templates/discrete_loading.h"
#include "ui/templates/general_data.h"
#include "ui/templates/initial_values.h"
#include "ui/templates/sin_exp.h"

namespace dialogs {

namespace {

using ui::id;
using ui::templates::Accelerogram;
using ui::templates::Diameters;
using ui::templates::DiscreteLoading;
using ui::templates::GeneralData;
using ui::templates::InitialValues;
using ui::templates::SinExp;

struct ButtonImage {
  ui::DialogId dialog;
  ui::ControlId button;
  ui::Image Images::*image;
};

constexpr ButtonImage button_images[] = {
    {ui::DialogId::general_data, id(GeneralData::select_geometry), &Images::input_file1_icon},
    {ui::DialogId::general_data, id(GeneralData::save_changes), &Images::save_changes_icon},
    {ui::DialogId::general_data, id(GeneralData::load_old_file), &Images::load_bitmap},
    {ui::DialogId::initial_values, id(InitialValues::save), &Images::save_changes_icon},
    {ui::DialogId::discrete_loading, id(DiscreteLoading::save), &Images::save_changes_icon},
    {ui::DialogId::sin_exp, id(SinExp::save), &Images::save_changes_icon},
    {ui::DialogId::accelerogram, id(Accelerogram::save), &Images::save_changes_icon},
    {ui::DialogId::diameters, id(Diameters::save), &Images::save_changes_icon},
};

}  // namespace

void apply_common_images(const Context& context, ui::Dialog& dialog, ui::DialogId shown) {
  for (const ButtonImage& b : button_images)
    if (b.dialog == shown) dialog.set_image(b.button, context.images.*b.image);
}

void register_common_initializer(Context& context, ui::Dialog& dialog, ui::DialogId shown) {
  dialog.on(shown, [&context, shown](ui::Dialog& d, ui::ControlId) {
    apply_common_images(context, d, shown);
  });
}

}  // namespace dialogs
