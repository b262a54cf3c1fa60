#include "dialogs/dialog_initializer.h"

namespace app {

namespace {

struct ButtonImage {
  int dialog;
  ui::ControlId button;
  ui::Image Images::*image;
};

constexpr ButtonImage button_images[] = {
    {101, 1109, &Images::input_file1_icon}, {101, 1079, &Images::save_changes_icon},
    {101, 1111, &Images::load_bitmap},      {103, 1071, &Images::save_changes_icon},
    {104, 1093, &Images::save_changes_icon}, {105, 1092, &Images::save_changes_icon},
    {106, 1101, &Images::save_changes_icon}, {110, 1142, &Images::save_changes_icon},
};

}  // namespace

void apply_common_images(const Context& context, ui::Dialog& dialog, int template_id) {
  for (const ButtonImage& b : button_images)
    if (b.dialog == template_id) dialog.set_image(b.button, context.images.*b.image);
}

void register_common_initializer(Context& context, ui::Dialog& dialog, int template_id) {
  dialog.on(template_id, [&context, template_id](ui::Dialog& d, ui::ControlId) {
    apply_common_images(context, d, template_id);
  });
}

}  // namespace app
