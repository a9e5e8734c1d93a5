#pragma once

#include <QObject>
#include <QVariantList>

#include <functional>

namespace kavrel {

// How a headless window state tells its window that what the window shows
// has changed. The state describes what it shows (its look); a user's action
// runs as one Command, and when the outermost command ends each state whose
// look differs from the one it last reported emits changed(), once. A window
// refreshes on its own state's signal and no other: an action that changes
// nothing refreshes nothing.
class ChangeSignal : public QObject
{
    Q_OBJECT
public:
    // Answers whether the look differs from the one last reported and keeps
    // the new one.
    using TakeChange = std::function<bool()>;
    explicit ChangeSignal(TakeChange takeChange);
    ~ChangeSignal() override;

    // A look made of plain values: the change is a difference in any of them.
    static TakeChange fromValues(std::function<QVariantList()> look);

    // One user action: the states that changed report it when the outermost
    // command ends.
    class Command
    {
    public:
        Command();
        ~Command();
        Command(const Command &) = delete;
        Command &operator=(const Command &) = delete;
    };

    // Reports the changes made so far, before the program waits inside a
    // command (a message box, the editor), so that the windows show them.
    static void reportChanges();

signals:
    void changed();

private:
    TakeChange m_takeChange;
};

} // namespace kavrel
