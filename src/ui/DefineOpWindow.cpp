#include "DefineOpWindow.h"

#include "Colours.h"
#include "base/KeyCodes.h"

#include "dialogs/DefineOpState.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kavrel::ui {

using dialogs::DefineOpState;

DefineOpWindow::DefineOpWindow(QWidget *mainWindow, DefineOpState &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("Define_Op"));
    setWindowTitle(DefineOpState::kCaption);
    auto *grid = new QGridLayout(this);

    struct Row
    {
        const char *field;
        QString label;
        QString tip;
        const char *button;
        QString buttonTip;
        QString *value;
        void (*browse)(DefineOpState &);
    };
    const Row rows[4] = {
        { "LOG_Dir", DefineOpState::kLogDirLabel, DefineOpState::kLogDirToolTip, "browseLogDir",
            DefineOpState::kBrowseToolTip, &m_state.LOG_Dir, [](DefineOpState &s) { s.browseLogDir(); } },
        { "Up_Dir", DefineOpState::kUpDirLabel, DefineOpState::kUpDirToolTip, "browseUpDir", QString(),
            &m_state.Up_Dir, [](DefineOpState &s) { s.browseUpDir(); } },
        { "BL_Dir", DefineOpState::kBlDirLabel, DefineOpState::kBlDirToolTip, "browseBoardListDir", QString(),
            &m_state.BL_Dir, [](DefineOpState &s) { s.browseBoardListDir(); } },
        { "Editor_Path", DefineOpState::kEditorPathLabel, QString(), "Select_Editor_Path", QString(),
            &m_state.Editor_Path, [](DefineOpState &s) { s.browseEditorPath(); } },
    };
    for (int i = 0; i < 4; ++i) {
        const Row &r = rows[i];
        auto *label = new QLabel(r.label, this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(r.field));
        if (!r.tip.isEmpty())
            edit->setToolTip(r.tip);
        label->setBuddy(edit);
        auto *browse = new QPushButton(DefineOpState::kBrowseCaption, this);
        browse->setObjectName(QLatin1String(r.button));
        if (!r.buttonTip.isEmpty())
            browse->setToolTip(r.buttonTip);
        returnButton(browse);
        grid->addWidget(label, 2 * i, 0, 1, 2);
        grid->addWidget(edit, 2 * i + 1, 0);
        grid->addWidget(browse, 2 * i + 1, 1);
        QString *value = r.value;
        connect(edit, &QLineEdit::textEdited, this, [this, value](const QString &text) {
            runCommand([this, value, text] { m_state.typeField(value, text); });
        });
        const auto handler = r.browse;
        connect(browse, &QPushButton::clicked, this,
            [this, handler] { runCommand([this, handler] { handler(m_state); }); });
        m_edits[i] = edit;
    }
    auto *ok = new QPushButton(DefineOpState::kOkCaption, this);
    ok->setObjectName(QStringLiteral("DefOK"));
    ok->setToolTip(DefineOpState::kOkToolTip);
    defaultButton(ok);
    auto *cancel = new QPushButton(DefineOpState::kCancelCaption, this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setToolTip(DefineOpState::kCancelToolTip);
    returnButton(cancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 8, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    connect(ok, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.saveDirectories(); }); });
    connect(cancel, &QPushButton::clicked, this,
        [this] { runCommand([this] { m_state.closeWithoutSaving(); }); });
    resize(480, sizeHint().height());
}

void DefineOpWindow::refresh()
{
    setText(m_edits[0], m_state.LOG_Dir);
    setText(m_edits[1], m_state.Up_Dir);
    setText(m_edits[2], m_state.BL_Dir);
    setText(m_edits[3], m_state.Editor_Path);
    if (!m_monoApplied || m_mono != m_state.MonoColors) {
        m_mono = m_state.MonoColors;
        m_monoApplied = true;
        for (QLineEdit *edit : m_edits)
            colours::apply(edit, m_mono);
    }
    syncShown(m_state.visible);
}

void DefineOpWindow::escape()
{
    m_state.pressKey(keys::Key_Escape);
}

} // namespace kavrel::ui
