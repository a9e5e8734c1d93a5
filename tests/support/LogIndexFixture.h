#pragma once

#include "TestSupport.h"
#include "session/MainWindowState.h"
#include "session/Session.h"
#include "settings/SettingsRecords.h"

#include <QTemporaryDir>

namespace kavrel::test {

// A net record as the net editor fills a new one, with the given file names.
settings::NetRecord netRecord(const QString &name, const QString &filePrefix);

// Counts the main window's selection handling; can put rows into the title
// list when a board is selected, as the reader's build would.
class RecordingEvents : public MainWindowEvents
{
public:
    int boardClicks = 0;
    int titleClicks = 0;
    QList<int> boardIndexes;
    MainWindowState *main = nullptr;
    int rowsPerBoard = 0;

    void showChosenBoard() override;
    void showChosenRow() override;
    void titleListFocused() override { }
    void BuildTitleList() override { }
    void keyDownInTitleList(int, int) override { }
};

// A session over a temporary directory: app/, log/, bl/ and up/, two nets
// ("DAV" and "NIF" files), net 0 chosen, scripted messages and recorded
// main-window events.
class LogIndexFixture
{
public:
    LogIndexFixture();

    QTemporaryDir dir;
    Session session;
    ScriptedMessages messages;
    RecordingEvents events;

    QString appDir() const;
    QString logDir() const;
    QString blDir() const;
    QString logPath(const QString &name) const;

    // Writes a log as the host's bytes (Shift-JIS of text).
    QString writeLog(const QString &name, const QString &text) const;
    void writeLogBytes(const QString &name, const QByteArray &bytes) const;
    // Sets a file's modification time.
    static void setModified(const QString &path, const QDateTime &time);
    // Chooses net slot i and takes its markers into use.
    void chooseNet(int i);
};

} // namespace kavrel::test
