#pragma once

#include <QSettings>

#include <memory>

namespace kavrel::ui::prefs {

// The windows' own preferences (the split between the title list and the
// article view, the title list's headings and widths, where the 全ログ検索
// window was left) live in a Qt settings
// file in the user's configuration directory, apart from DIR.DEF and
// SET.def, whose records keep their stored format.
inline const QString kOrganization = QStringLiteral("Kavrel");
inline const QString kApplication = QStringLiteral("Kavrel");

inline std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(
        QSettings::IniFormat, QSettings::UserScope, kOrganization, kApplication);
}

inline const QString kTitleHeight = QStringLiteral("MainWindow/TitleListHeight");
inline const QString kColumnWidths = QStringLiteral("MainWindow/TitleColumnWidths");
inline const QString kColumnHeadings = QStringLiteral("MainWindow/TitleColumnHeadings");
inline const QString kZoom = QStringLiteral("MainWindow/Zoom");
inline const QString kFullSearchGeometry = QStringLiteral("FullSearch/Geometry");
// The working directory opened last, opened when kavrel starts without one.
inline const QString kWorkingDirectory = QStringLiteral("Program/WorkingDirectory");

} // namespace kavrel::ui::prefs
