#pragma once

#include "base/ChangeSignal.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace kavrel {
class Session;
}

namespace kavrel::commands {

// The ID list window without a display: the IDs known for the net, and in
// mail mode (LastWrittenKind Mail) the choice of a mail's recipients. Its
// OK runs the editor and the store through mailAccepted.
class IdListWindow
{
public:
    explicit IdListWindow(Session &session);

    // The list box ID_LIST, several items selectable.
    QStringList items;
    QVector<bool> selected;
    QString Caption = QStringLiteral("ＩＤ List");
    bool visible = false;
    bool mono = false; // MonoColors: text and background colours swapped
    // Tells the window that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] {
        return QVariantList { items, QVariant::fromValue(selected), Caption, visible, mono };
    }) };

    // Set by the compose commands: runs the editor and stores the mail once
    // the recipients are in Recipients. closedWithoutMail runs when the
    // window closes in mail mode without a mail accepted.
    std::function<void()> mailAccepted;
    std::function<void()> closedWithoutMail;

    // Opening: disables the main window and fills the list (load). The
    // menu opens a viewer; the mail commands open it in mail mode.
    enum class Mode { Viewer, Mail };
    void open(Mode mode);
    bool mailMode() const { return m_mailMode; }
    // True while OK runs the editor; a second OK meanwhile is ignored.
    bool busy = false;
    void setSelected(int index, bool on);

    void takeChosenIds();
    // Enter runs OK, Esc closes.
    void keyInIdList(int keyCode);
    void pressKey(int keyCode);
    void accept() { takeChosenIds(); }
    void cancel() { close(); }
    // Every way of closing ends here: the main window is enabled again.
    void close();

    // One ID_LIST item for a line of the ID list: blanks so that its ":"
    // stands in column 6.
    static QString listItem(const QString &line);
    // The recipient taken from an item: the text before its first ":",
    // leading blanks included; an item without ":" is taken whole.
    static QString recipientOf(const QString &item);

private:
    Session &m_session;
    bool m_accepted = false;
    bool m_mailMode = false;
};

} // namespace kavrel::commands
