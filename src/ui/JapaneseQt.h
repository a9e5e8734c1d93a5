#pragma once

class QFileDialog;

namespace kavrel::ui {

// Qt's own dialogs and context menus speak Japanese whatever the system's
// language is: Qt's Japanese catalogue, Kavrel's own words for what that
// catalogue lacks, and dates and numbers in the Japanese way. Installed once,
// before the windows are made; later calls do nothing.
void useJapanese();

// A file dialog of Kavrel's own (not the desktop's): its texts come from the
// catalogues above, and its file list shows dates in the Japanese way rather
// than the system's.
void makeJapanese(QFileDialog &dialog);

} // namespace kavrel::ui
