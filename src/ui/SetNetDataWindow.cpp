#include "SetNetDataWindow.h"

#include "Colours.h"
#include "base/KeyCodes.h"

#include "netselect/SetNetDataState.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kavrel::ui {

using netselect::SetNetDataState;

SetNetDataWindow::SetNetDataWindow(QWidget *mainWindow, SetNetDataState &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("Set_Net_Data"));
    setWindowTitle(SetNetDataState::kCaption);
    auto *grid = new QGridLayout(this);
    settings::NetEntry &f = m_state.Fields;
    int row = 0;
    auto addField = [&](const char *name, const QString &label, QString *value, const QString &tip = {}) {
        auto *l = new QLabel(label, this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        if (!tip.isEmpty())
            edit->setToolTip(tip);
        l->setBuddy(edit);
        grid->addWidget(l, row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
        ++row;
        // The field as typed is the core's field (value points into Fields).
        connect(edit, &QLineEdit::textEdited, this, [this, value](const QString &text) {
            runCommand([this, value, text] { m_state.typeField(value, text); });
        });
        m_fields.append({ edit, value });
        return edit;
    };
    addField("Net_Name", SetNetDataState::kNetNameLabel, &f.Net_Name, SetNetDataState::kNetNameToolTip);
    m_header = addField("Header", SetNetDataState::kHeaderLabel, &f.Header, SetNetDataState::kHeaderToolTip);
    addField("Main_Prompt", SetNetDataState::kMainPromptLabel, &f.Main_Prompt);
    addField("Subcommand", SetNetDataState::kSubcommandLabel, &f.Subcommand);
    addField("Read_End", SetNetDataState::kReadEndLabel, &f.Read_End);
    addField("Delete", SetNetDataState::kDeleteLabel, &f.Delete);
    addField("Xchat", SetNetDataState::kXchatLabel, &f.Xchat);
    addField("Up_File_Name", SetNetDataState::kUpFileLabel, &f.Up_File_Name);
    addField("Board_list_File_Name", SetNetDataState::kBoardListLabel, &f.Board_list_File_Name);
    addField("Log_File_Name", SetNetDataState::kLogFileLabel, &f.Log_File_Name);
    addField("ID_LIST_FILE_NAME", SetNetDataState::kIdListLabel, &f.ID_LIST_FILE_NAME);

    m_sirial = new QCheckBox(SetNetDataState::kSirialFlgCaption, this);
    m_sirial->setObjectName(QStringLiteral("Sirial_Flg"));
    m_sirial->setToolTip(SetNetDataState::kSirialFlgToolTip);
    grid->addWidget(m_sirial, row++, 1, 1, 2);
    connect(m_sirial, &QCheckBox::clicked, this,
        [this] { runCommand([this] { m_state.toggleSerialNumbers(); }); });

    m_sirialHeader = addField("SirialHeader", SetNetDataState::kSirialHeaderLabel, &f.SirialHeader,
        SetNetDataState::kSirialHeaderToolTip);
    QLineEdit *sign = addField("Sign_Path", SetNetDataState::kSignPathLabel, &f.Sign_Path);
    grid->removeWidget(sign);
    grid->addWidget(sign, row - 1, 1);
    auto *browse = new QPushButton(SetNetDataState::kSelectSignPathCaption, this);
    browse->setObjectName(QStringLiteral("Select_Sign_Path"));
    browse->setToolTip(SetNetDataState::kSelectSignPathToolTip);
    returnButton(browse);
    grid->addWidget(browse, row - 1, 2);
    connect(
        browse, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.browseSignPath(); }); });

    auto *input = new QPushButton(SetNetDataState::kInputCaption, this);
    input->setObjectName(QStringLiteral("INPUT"));
    defaultButton(input);
    auto *cancel = new QPushButton(SetNetDataState::kCancelCaption, this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    returnButton(cancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(input);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, row, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    connect(input, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.storeNet(); }); });
    connect(cancel, &QPushButton::clicked, this,
        [this] { runCommand([this] { m_state.closeWithoutStoring(); }); });
    resize(520, sizeHint().height());
}

void SetNetDataWindow::refresh()
{
    for (const Field &field : std::as_const(m_fields))
        setText(field.edit, *field.value);
    setChecked(m_sirial, m_state.Fields.Sirial_Flg);
    m_header->setEnabled(m_state.Header_Enabled);
    m_sirialHeader->setEnabled(m_state.SirialHeader_Enabled);
    if (!m_monoApplied || m_mono != m_state.MonoColors) {
        m_mono = m_state.MonoColors;
        m_monoApplied = true;
        for (const Field &field : std::as_const(m_fields))
            colours::apply(field.edit, m_mono);
    }
    syncShown(m_state.loaded);
}

void SetNetDataWindow::escape()
{
    m_state.pressKey(keys::Key_Escape);
}

} // namespace kavrel::ui
