#pragma once

class QWidget;

namespace kavrel::ui::colours {

// Text fields and lists normally show the system window-text colour on the
// system window colour; with the option MonoColors the two are swapped.
// Labels get the same pair on their own background.
void apply(QWidget *widget, bool mono);

} // namespace kavrel::ui::colours
