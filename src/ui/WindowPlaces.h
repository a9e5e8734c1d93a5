#pragma once

#include <QString>

class QWidget;

namespace kavrel::ui::places {

// Where the windows open, kept in Kavrel's own settings file under key.

// The main window as it was left; the first time two thirds of the screen,
// centred. Answers whether it was placed as it was left.
bool placeMain(QWidget *window, const QString &key);
// Another window where it was left; the first time centred over the main
// window, at its own size.
void placeOver(QWidget *window, const QWidget *mainWindow, const QString &key);
// Keeps where and how large a window is, for the next time.
void keep(const QWidget *window, const QString &key);

} // namespace kavrel::ui::places
