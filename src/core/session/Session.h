#pragma once

#include "base/BoardItem.h"
#include "base/FileIo.h"
#include "base/MessageHost.h"
#include "session/ComposeState.h"
#include "session/MainWindowState.h"
#include "session/MoveTableState.h"
#include "session/OpenLog.h"
#include "session/ReaderState.h"
#include "session/SearchState.h"
#include "session/ServiceHosts.h"
#include "session/UnreadTracker.h"
#include "session/UpFileStore.h"
#include "settings/NetContext.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kavrel {

// Everything the reader's windows and procedures share while the program runs:
// the settings, the current net and its markers, the open log and its index,
// the unread pointer, the up file and compose state, the search and the move
// table, and the headless main window. One Session is passed to every part of
// the core; nothing reaches a global.
// The settings, the current net and its markers are the net context it is
// built on, which the settings files are read into and written from.
class Session : public settings::NetContext
{
public:
    Session();

    // The values below each have one owner that changes them; see their headers.
    OpenLog log;
    UnreadTracker unread;
    UpFileStore upFile;
    ComposeState composing;
    ReaderState reading;
    SearchState search;
    MoveTableState moves;

    // The main window's headless state.
    MainWindowState main;
    // Whether the net selection screen is shown (opening a log closes it).
    bool netSelectVisible = false;

    // Services the windows or the tests provide (the message host is the net
    // context's).
    EditorHost *editor = nullptr;
    // The program's own editor window: used when Editor_Path is empty, and
    // offered when the editor it names cannot be started.
    EditorHost *builtInEditor = nullptr;
    ComposeHost *compose = nullptr;

    // A field of the current net without its blank padding.
    QString netField(settings::NetRecord::Field field) const;

    // Paths of the current net's files.
    QString upFilePath() const;
    QString boardListFilePath() const;
    QString idListFilePath() const;
    QString appFile(const QString &name) const;
    // A directory of the settings; an empty one is the working directory
    // (AppDir), never the root.
    QString directory(settings::DirRecord::Index which) const;
    // The current net's signature file: Sign_Path, a relative one taken in
    // AppDir; empty when the net names none.
    QString signatureFilePath() const;
};

} // namespace kavrel
