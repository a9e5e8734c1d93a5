#include "DefineDataWindow.h"

#include "base/KeyCodes.h"

#include "dialogs/DefineDataState.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace kavrel::ui {

using dialogs::DefineDataState;

DefineDataWindow::DefineDataWindow(QWidget *mainWindow, DefineDataState &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("Define_data"));
    setWindowTitle(DefineDataState::kCaption);
    auto *layout = new QVBoxLayout(this);
    auto add = [&](const char *name, const QString &caption, bool *value) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
            [this, value](bool on) { runCommand([this, value, on] { m_state.tick(value, on); }); });
        m_boxes.append({ box, value });
    };
    add("NET_SELECT_CHECK", DefineDataState::kNetSelectCaption, &m_state.NET_SELECT_CHECK);
    add("Sign_CHECK", DefineDataState::kSignCaption, &m_state.Sign_CHECK);
    add("Res_Del_Check", DefineDataState::kResDelCaption, &m_state.Res_Del_Check);
    add("Board_List_Check", DefineDataState::kBoardListCaption, &m_state.Board_List_Check);
    add("Title_Only_Check", DefineDataState::kTitleOnlyCaption, &m_state.Title_Only_Check);
    add("Mono_Check", DefineDataState::kMonoCaption, &m_state.Mono_Check);
    // The caption's run of full-width blanks wrapped it in a narrow box: it
    // is shown wrapped there, on two lines, without the gap.
    QString shift = DefineDataState::kShiftCaption;
    shift.replace(QRegularExpression(QStringLiteral("　{2,}")), QStringLiteral("\n"));
    add("Shift_Check", shift, &m_state.Shift_Check);

    auto *ok = new QPushButton(DefineDataState::kOkCaption, this);
    ok->setObjectName(QStringLiteral("saveButton"));
    defaultButton(ok);
    auto *cancel = new QPushButton(DefineDataState::kCancelCaption, this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    returnButton(cancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.save(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.discard(); }); });
}

void DefineDataWindow::refresh()
{
    for (const Box &b : std::as_const(m_boxes))
        setChecked(b.box, *b.value);
    syncShown(m_state.visible);
}

void DefineDataWindow::escape()
{
    m_state.pressKey(keys::Key_Escape);
}

} // namespace kavrel::ui
