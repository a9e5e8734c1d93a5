#include "IdoWindow.h"

#include "Colours.h"
#include "Fonts.h"
#include "base/KeyCodes.h"

#include "moveres/MoveResponseWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kavrel::ui {

IdoWindow::IdoWindow(QWidget *mainWindow, moveres::MoveResponseWindow &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("IDO"));
    const QFont listFont = fonts::listFont();
    auto *sourceLabel = new QLabel(QStringLiteral("ボード名"), this);
    m_source = new QComboBox(this);
    m_source->setObjectName(QStringLiteral("ido_board_list"));
    m_source->setFont(listFont);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("IDO_TEXT"));
    m_text->setMaxLength(3);
    m_text->setMaximumWidth(QFontMetrics(m_text->font()).horizontalAdvance(QStringLiteral("0000")) + 16);
    auto *targetLabel = new QLabel(QStringLiteral("移動先ボード名"), this);
    m_target = new QComboBox(this);
    m_target->setObjectName(QStringLiteral("ido_board_list2"));
    m_target->setFont(listFont);
    auto *ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName(QStringLiteral("IDO_OK"));
    noDefault(ok);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    noDefault(cancel);

    auto *grid = new QGridLayout(this);
    grid->addWidget(sourceLabel, 0, 0);
    grid->addWidget(m_source, 1, 0);
    grid->addWidget(m_text, 1, 1);
    grid->addWidget(targetLabel, 2, 0);
    grid->addWidget(m_target, 3, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    resize(420, sizeHint().height());

    connect(m_source, &QComboBox::activated, this,
        [this](int index) { runCommand([this, index] { m_state.selectSource(index); }); });
    connect(m_target, &QComboBox::activated, this,
        [this](int index) { runCommand([this, index] { m_state.selectTarget(index); }); });
    connect(m_text, &QLineEdit::textEdited, this,
        [this](const QString &text) { runCommand([this, text] { m_state.typeIdoText(text); }); });
    connect(ok, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.saveMoveTable(); }); });
    connect(
        cancel, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.pressCancelButton(); }); });

    onKey(m_source, [this](int code, int) {
        if (code != keys::Key_Enter && code != keys::Key_Escape)
            return false;
        m_state.keyInSourceList(code);
        return true;
    });
    onKey(m_target, [this](int code, int) {
        if (code != keys::Key_Enter && code != keys::Key_Escape)
            return false;
        m_state.keyInTargetList(code);
        return true;
    });
    // Every key reaches keyInTargetField first; Up, Down and Esc end there,
    // other keys then edit the field as usual.
    onKey(m_text, [this](int code, int) {
        m_state.keyInTargetField(code);
        return code == keys::Key_Escape || code == keys::Key_Up || code == keys::Key_Down
            || code == keys::Key_Enter;
    });
    onKey(ok, [this](int code, int) {
        if (code != keys::Key_Escape)
            return false;
        m_state.keyOnOkButton(code);
        return true;
    });
    onKey(cancel, [this](int code, int) {
        if (code != keys::Key_Escape)
            return false;
        m_state.keyOnCancelButton(code);
        return true;
    });
}

void IdoWindow::refresh()
{
    setWindowTitle(m_state.Caption);
    if (m_sourceItems != m_state.ido_board_list.items) {
        m_sourceItems = m_state.ido_board_list.items;
        m_source->clear();
        m_source->addItems(m_sourceItems);
    }
    m_source->setCurrentIndex(m_state.ido_board_list.ListIndex);
    m_source->setEnabled(m_state.ido_board_list.enabled);
    if (m_targetItems != m_state.ido_board_list2.items) {
        m_targetItems = m_state.ido_board_list2.items;
        m_target->clear();
        m_target->addItems(m_targetItems);
    }
    m_target->setCurrentIndex(m_state.ido_board_list2.ListIndex);
    m_target->setEnabled(m_state.ido_board_list2.enabled);
    setText(m_text, m_state.IDO_TEXT);
    m_text->setEnabled(m_state.IDO_TEXT_Enabled);
    if (!m_monoApplied || m_mono != m_state.mono) {
        m_mono = m_state.mono;
        m_monoApplied = true;
        colours::apply(m_source, m_mono);
        colours::apply(m_target, m_mono);
    }
    syncShown(m_state.visible);
    if (isVisible() && m_state.targetListHasFocus && !m_targetFocus)
        m_target->setFocus();
    m_targetFocus = m_state.targetListHasFocus;
}

void IdoWindow::escape()
{
    m_state.pressKey(keys::Key_Escape);
}

} // namespace kavrel::ui
