#include "WindowPlaces.h"

#include "WindowPrefs.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kavrel::ui::places {

bool placeMain(QWidget *window, const QString &key)
{
    if (window->restoreGeometry(prefs::open()->value(key).toByteArray()))
        return true;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QRect area = screen->availableGeometry();
    QRect place(0, 0, area.width() * 2 / 3, area.height() * 2 / 3);
    place.moveCenter(area.center());
    window->resize(place.size());
    window->move(place.topLeft());
    return false;
}

void placeOver(QWidget *window, const QWidget *mainWindow, const QString &key)
{
    if (window->restoreGeometry(prefs::open()->value(key).toByteArray()) || !mainWindow)
        return;
    // A window sized by its layout alone takes that size before it is centred.
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    QRect place(QPoint(), window->size());
    place.moveCenter(mainWindow->frameGeometry().center());
    window->move(place.topLeft());
}

void keep(const QWidget *window, const QString &key)
{
    prefs::open()->setValue(key, window->saveGeometry());
}

} // namespace kavrel::ui::places
