#include "NetSelectWindow.h"

#include "Colours.h"
#include "Fonts.h"
#include "base/KeyCodes.h"

#include "netselect/NetSelectState.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

#include <algorithm>
#include <memory>

namespace kavrel::ui {

using netselect::NetSelectState;

NetSelectWindow::NetSelectWindow(QWidget *mainWindow, NetSelectState &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("Net_Select"));
    setWindowTitle(QStringLiteral("ネット選択"));
    m_state.openProgress = progressDialog(this);
    const Buttons buttons = buildLayout();
    connectNets(buttons);
    connectLogs(buttons);
}

NetSelectWindow::Progress NetSelectWindow::progressDialog(QWidget *parent)
{
    // Reading a large log shows how far it is and can be cancelled; the
    // windows repaint meanwhile.
    auto progress = std::make_shared<QPointer<QProgressDialog>>();
    auto cancelled = std::make_shared<bool>(false);
    return [parent, progress, cancelled](const QString &name, qint64 done, qint64 total) {
        // An open starts at 0; once cancelled, its later reports (the scan
        // that can no longer stop) bring no new dialog.
        if (done == 0)
            *cancelled = false;
        if (*cancelled)
            return false;
        if (total < (4 << 20) && !*progress)
            return true;
        if (!*progress) {
            *progress = new QProgressDialog(parent);
            (*progress)->setWindowTitle(QStringLiteral("Kavrel"));
            (*progress)->setWindowModality(Qt::ApplicationModal);
            (*progress)->setCancelButtonText(QStringLiteral("キャンセル"));
            (*progress)->setMinimumDuration(0);
            (*progress)->setRange(0, 1000);
        }
        QProgressDialog *dialog = *progress;
        dialog->setLabelText(name);
        dialog->setValue(int(done * 1000 / std::max<qint64>(1, total)));
        QCoreApplication::processEvents();
        const bool go = !dialog->wasCanceled();
        if (!go || done >= total)
            dialog->deleteLater();
        *cancelled = !go;
        return go;
    };
}

NetSelectWindow::Buttons NetSelectWindow::buildLayout()
{
    const QFont listFont = fonts::listFont();
    auto *label2 = new QLabel(NetSelectState::kLabel2, this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_nets = new QListWidget(this);
    m_nets->setObjectName(QStringLiteral("Select_menu"));
    m_nets->setToolTip(NetSelectState::kSelectMenuToolTip);
    m_nets->setFont(listFont);
    auto *label1 = new QLabel(NetSelectState::kLabel1, this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_netName = new QLineEdit(this);
    m_netName->setObjectName(QStringLiteral("Net_Name"));
    m_netName->setToolTip(NetSelectState::kNetNameToolTip);

    auto button = [this](const char *name, const QString &caption, const QString &tip) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        if (!tip.isEmpty())
            b->setToolTip(tip);
        noDefault(b);
        return b;
    };
    const Buttons b { button("Net_Set", NetSelectState::kNetSetCaption, NetSelectState::kNetSetToolTip),
        button("Change", NetSelectState::kChangeCaption, NetSelectState::kChangeToolTip),
        button("Delete", NetSelectState::kDeleteCaption, NetSelectState::kDeleteToolTip),
        button("Net_Cancel", NetSelectState::kCancelCaption, NetSelectState::kCancelToolTip),
        button("LogRead", NetSelectState::kLogReadCaption, QString()) };

    auto *label3 = new QLabel(NetSelectState::kLabel3, this);
    label3->setObjectName(QStringLiteral("Label3"));
    m_logs = new QListWidget(this);
    m_logs->setObjectName(QStringLiteral("Log_List_File"));
    m_logs->setToolTip(NetSelectState::kLogListToolTip);
    m_logs->setFont(listFont);
    m_logs2 = new QListWidget(this);
    m_logs2->setObjectName(QStringLiteral("Log_List_File2"));
    m_logs2->setToolTip(NetSelectState::kLogListToolTip);
    m_logs2->setFont(listFont);
    m_logs2->setSelectionMode(QAbstractItemView::MultiSelection);
    m_multi = new QCheckBox(NetSelectState::kMultiCheckCaption, this);
    m_multi->setObjectName(QStringLiteral("multi_check"));
    m_multi->setToolTip(NetSelectState::kMultiCheckToolTip);

    auto *grid = new QGridLayout(this);
    grid->addWidget(label2, 0, 0, 1, 2);
    grid->addWidget(m_nets, 1, 0, 1, 2);
    grid->addWidget(label1, 2, 0, 1, 2);
    grid->addWidget(m_netName, 3, 0, 1, 2);
    grid->addWidget(b.netSet, 4, 0);
    grid->addWidget(b.change, 4, 1);
    grid->addWidget(b.del, 5, 0);
    grid->addWidget(b.cancel, 5, 1);
    grid->addWidget(label3, 0, 2);
    grid->addWidget(m_logs, 1, 2, 3, 1);
    grid->addWidget(m_logs2, 1, 2, 3, 1);
    grid->addWidget(m_multi, 4, 2);
    grid->addWidget(b.logRead, 5, 2);
    grid->setColumnStretch(2, 1);
    resize(560, 360);
    return b;
}

void NetSelectWindow::connectNets(const Buttons &buttons)
{
    // The user's choices are commands; the core's handlers act on them.
    connect(m_nets, &QListWidget::currentRowChanged, this,
        [this](int row) { runCommand([this, row] { m_state.highlightNet(row); }); });
    connect(m_nets, &QListWidget::itemDoubleClicked, this,
        [this] { runCommand([this] { m_state.chooseNet(); }); });
    onKey(m_nets, [this](int code, int) {
        if (code != keys::Key_Enter && code != keys::Key_Escape)
            return false;
        m_state.keyInNetList(code);
        return true;
    });
    connect(m_netName, &QLineEdit::textEdited, this,
        [this](const QString &text) { runCommand([this, text] { m_state.typeNetName(text); }); });
    connect(buttons.netSet, &QPushButton::clicked, this,
        [this] { runCommand([this] { m_state.registerNet(); }); });
    connect(
        buttons.change, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.editNet(); }); });
    connect(
        buttons.del, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.deleteNet(); }); });
    connect(buttons.cancel, &QPushButton::clicked, this,
        [this] { runCommand([this] { m_state.closeScreen(); }); });
}

void NetSelectWindow::connectLogs(const Buttons &buttons)
{
    connect(buttons.logRead, &QPushButton::clicked, this,
        [this] { runCommand([this] { m_state.readChosenLogs(); }); });
    connect(
        m_multi, &QCheckBox::clicked, this, [this] { runCommand([this] { m_state.toggleMultiSelect(); }); });
    connect(m_logs, &QListWidget::currentRowChanged, this,
        [this](int row) { runCommand([this, row] { m_state.highlightLog(row); }); });
    connect(m_logs, &QListWidget::itemDoubleClicked, this,
        [this] { runCommand([this] { m_state.openChosenLog(); }); });
    onKey(m_logs, [this](int code, int) {
        if (code != keys::Key_Enter && code != keys::Key_Escape)
            return false;
        m_state.keyInLogList(code);
        return true;
    });
    connect(m_logs2, &QListWidget::itemSelectionChanged, this, [this] {
        QList<bool> selected;
        for (int i = 0; i < m_logs2->count(); ++i)
            selected << m_logs2->item(i)->isSelected();
        runCommand([this, selected] { m_state.selectLogs(selected); });
    });
    connect(m_logs2, &QListWidget::itemDoubleClicked, this,
        [this] { runCommand([this] { m_state.openChosenLogs(); }); });
}

void NetSelectWindow::refresh()
{
    setItems(m_nets, m_state.Select_menu.items);
    setCurrentRow(m_nets, m_state.Select_menu.ListIndex);
    setText(m_netName, m_state.Net_Name);
    setItems(m_logs, m_state.Log_List_File.items);
    setCurrentRow(m_logs, m_state.Log_List_File.ListIndex);
    setItems(m_logs2, m_state.Log_List_File2.items);
    const QSignalBlocker blockLogs(m_logs2);
    for (int i = 0; i < m_logs2->count(); ++i) {
        const bool on = m_state.Log_List_File2.Selected.value(i);
        if (m_logs2->item(i)->isSelected() != on)
            m_logs2->item(i)->setSelected(on);
    }
    setChecked(m_multi, m_state.multi_check);
    m_logs->setVisible(m_state.Log_List_File_Visible);
    m_logs2->setVisible(m_state.Log_List_File2_Visible);
    setEnabled(m_state.enabled);

    if (!m_monoApplied || m_mono != m_state.MonoColors) {
        m_mono = m_state.MonoColors;
        m_monoApplied = true;
        for (QWidget *w : std::initializer_list<QWidget *> { m_nets, m_netName, m_logs, m_logs2 })
            colours::apply(w, m_mono);
    }

    syncShown(m_state.loaded);

    // The core moves the keyboard focus between the lists.
    const int focus = int(m_state.focus);
    if (isVisible() && focus != m_focus) {
        m_focus = focus;
        switch (m_state.focus) {
        case NetSelectState::Focus::Select_menu:
            m_nets->setFocus();
            break;
        case NetSelectState::Focus::Log_List_File:
            m_logs->setFocus();
            break;
        case NetSelectState::Focus::Log_List_File2:
            m_logs2->setFocus();
            break;
        case NetSelectState::Focus::None:
            break;
        }
    }
    if (!isVisible())
        m_focus = -1;
}

void NetSelectWindow::escape()
{
    m_state.pressKey(keys::Key_Escape);
}

void NetSelectWindow::closeRequested()
{
    m_state.closeScreen();
}

} // namespace kavrel::ui
