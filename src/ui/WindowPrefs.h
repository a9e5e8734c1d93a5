#pragma once

#include <QSettings>

#include <memory>

namespace kavrel::ui::prefs {

// The windows' own preferences (the split between the title list and the
// article view, the title list's headings and widths, where each window was
// left, the folder and format of the last export) live in a Qt settings
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
inline const QString kMainGeometry = QStringLiteral("MainWindow/Geometry");
inline const QString kFullSearchGeometry = QStringLiteral("FullSearch/Geometry");
inline const QString kRawLogGeometry = QStringLiteral("RawLog/Geometry");
// A dialog's place, under its object name.
inline QString windowGeometryKey(const QString &objectName)
{
    return objectName + QStringLiteral("/Geometry");
}
inline const QString kExportFolder = QStringLiteral("Export/Folder");
inline const QString kExportFormat = QStringLiteral("Export/Format");
inline const QString kArchiveGeometry = QStringLiteral("Archive/Geometry");
inline const QString kZoom = QStringLiteral("MainWindow/Zoom");
// The working directory opened last, opened when kavrel starts without one.
inline const QString kWorkingDirectory = QStringLiteral("Program/WorkingDirectory");

} // namespace kavrel::ui::prefs
