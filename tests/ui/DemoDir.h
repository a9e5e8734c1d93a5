#pragma once

// A scratch copy of the demo working directory for the widget tests. The
// program takes the current directory as its working directory, so the copy
// becomes the current directory while the fixture lives.

#include "MainWindow.h"
#include "NetSelectWindow.h"
#include "ProgramWindows.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace kavrel::test {

class DemoDir
{
public:
    DemoDir()
        : m_previous(QDir::currentPath())
    {
        const QString source = qEnvironmentVariable("KAVREL_SOURCE_DIR") + QStringLiteral("/demo");
        QDirIterator it(source, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = m_dir.filePath(QDir(source).relativeFilePath(from));
            // Read and written by its owner alone (a checkout may have made the
            // demo read-only); folders can be listed and entered too.
            QFileDevice::Permissions owner
                = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
            if (it.fileInfo().isDir()) {
                QDir().mkpath(to);
                owner |= QFile::ExeOwner | QFile::ExeUser;
            } else {
                QFile::copy(from, to);
            }
            QFile(to).setPermissions(owner);
        }
        // A checkout keeps no file times: the older log must be older.
        setTime(QStringLiteral("LOG/KAB0605.LOG"), QDateTime(QDate(2026, 12, 5), QTime(21, 30)));
        setTime(QStringLiteral("LOG/KAB0606.LOG"), QDateTime(QDate(2026, 12, 6), QTime(23, 10)));
        setTime(QStringLiteral("LOG/mnt1206.log"), QDateTime(QDate(2026, 12, 6), QTime(9, 40)));
        QDir::setCurrent(m_dir.path());
        // The windows' own preferences go to a settings file of this test's own.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
    }
    ~DemoDir() { QDir::setCurrent(m_previous); }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool isValid() const { return m_dir.isValid(); }

private:
    void setTime(const QString &name, const QDateTime &time)
    {
        QFile file(path(name));
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(time, QFileDevice::FileModificationTime);
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_config;
    QString m_previous;
};

// Types text into a widget: ASCII as key presses, anything else committed
// through the input method, as a Japanese input method does.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, char(c.unicode()));
        } else {
            QInputMethodEvent event;
            event.setCommitString(QString(c));
            QApplication::sendEvent(widget, &event);
        }
    }
}

// A click where a check box takes it: on its box, not somewhere right of its text.
inline void clickCheckBox(QWidget *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// A double click as a user makes it: a click, then the second press.
inline void doubleClick(QAbstractItemView *view, const QPoint &at)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Chooses a net and opens one of its logs with double clicks on the net
// selection screen, keeping the net's waiting up file.
inline void openLogByClicks(
    ui::ProgramWindows &program, ScriptedMessages &messages, int net, const QString &log)
{
    auto *nets = program.netSelectWindow().findChild<QListWidget *>("Select_menu");
    messages.answers.prepend(MsgAnswer::Cancel); // keep the waiting up file
    doubleClick(nets, nets->visualItemRect(nets->item(net)).center());
    auto *logs = program.netSelectWindow().findChild<QListWidget *>("Log_List_File");
    const QList<QListWidgetItem *> found = logs->findItems(log, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    doubleClick(logs, logs->visualItemRect(found.first()).center());
}

// The program started on a fresh copy of the demo, as the widget tests begin:
// the net selection screen opens on its own, and message boxes are scripted.
struct DemoProgram
{
    std::unique_ptr<DemoDir> demo;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ui::ProgramWindows> program;
    ui::MainWindow *window = nullptr;

    void startDemo()
    {
        demo = std::make_unique<DemoDir>();
        messages = std::make_unique<ScriptedMessages>();
        program = std::make_unique<ui::ProgramWindows>(messages.get());
        program->start();
        window = &program->mainWindow();
    }
    void stopDemo()
    {
        program.reset();
        demo.reset();
    }
};

} // namespace kavrel::test
