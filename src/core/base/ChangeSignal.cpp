#include "base/ChangeSignal.h"

#include <QList>

#include <memory>

namespace kavrel {

namespace {

// Every state's signal, in the order the states were made (the main window's
// first, the dialogs over it after).
QList<ChangeSignal *> &everySignal()
{
    static QList<ChangeSignal *> signals_;
    return signals_;
}

int commandDepth = 0;
bool reporting = false;
bool reportAgain = false;

} // namespace

ChangeSignal::ChangeSignal(TakeChange takeChange)
    : m_takeChange(std::move(takeChange))
{
    everySignal().append(this);
}

ChangeSignal::~ChangeSignal()
{
    everySignal().removeOne(this);
}

ChangeSignal::TakeChange ChangeSignal::fromValues(std::function<QVariantList()> look)
{
    auto reported = std::make_shared<QVariantList>(look());
    return [look = std::move(look), reported] {
        QVariantList now = look();
        if (now == *reported)
            return false;
        *reported = std::move(now);
        return true;
    };
}

ChangeSignal::Command::Command()
{
    ++commandDepth;
}

ChangeSignal::Command::~Command()
{
    if (--commandDepth == 0)
        reportChanges();
}

void ChangeSignal::reportChanges()
{
    // A window that refreshes can start an action of its own (a window shown
    // takes the focus): its changes are reported by the same loop.
    if (reporting) {
        reportAgain = true;
        return;
    }
    reporting = true;
    constexpr int kMaxRounds = 8;
    for (int round = 0; round < kMaxRounds; ++round) {
        reportAgain = false;
        const QList<ChangeSignal *> now = everySignal();
        for (ChangeSignal *signal : now) {
            if (everySignal().contains(signal) && signal->m_takeChange())
                emit signal->changed();
        }
        if (!reportAgain)
            break;
    }
    reporting = false;
}

} // namespace kavrel
