#include "Colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace kavrel::ui::colours {

void apply(QWidget *widget, bool mono)
{
    const QPalette system = QApplication::palette(widget);
    const QColor window = system.color(QPalette::Active, QPalette::Base);
    const QColor text = system.color(QPalette::Active, QPalette::Text);
    const QColor background = mono ? text : window;
    const QColor foreground = mono ? window : text;

    QPalette palette = widget->palette();
    for (auto group : { QPalette::Active, QPalette::Inactive }) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Window, background);
        palette.setColor(group, QPalette::Text, foreground);
        palette.setColor(group, QPalette::WindowText, foreground);
        palette.setColor(group, QPalette::ButtonText, foreground);
        // A combo box draws its face as a button.
        palette.setColor(group, QPalette::Button, background);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace kavrel::ui::colours
