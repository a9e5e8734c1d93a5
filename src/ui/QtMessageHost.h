#pragma once

#include "base/MessageHost.h"

#include <functional>

class QWidget;

namespace kavrel::ui {

// The core's message boxes as QMessageBox, titled "Kavrel", with the buttons
// and the icon asked for. A box is modal: it waits for the answer as the
// core's caller expects.
class QtMessageHost : public MessageHost
{
public:
    // parent gives the box its place on screen; may answer nullptr.
    explicit QtMessageHost(std::function<QWidget *()> parent = {})
        : m_parent(std::move(parent))
    {
    }

    MsgAnswer show(const QString &text, MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) override;

    // Runs before each box, so that the windows show what the core has done so far.
    std::function<void()> beforeShow;

private:
    std::function<QWidget *()> m_parent;
};

} // namespace kavrel::ui
