#include "SearchWindow.h"

#include "Colours.h"
#include "base/KeyCodes.h"

#include "search/SearchDialogState.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavrel::ui {

using search::SearchDialogState;

namespace {
const char *const kFieldNames[13] = { "Search_Text", "Year1", "Month1", "Day1", "Hour1", "Minutes1",
    "Second1", "Year2", "Month2", "Day2", "Hour2", "Minutes2", "Second2" };
}

SearchWindow::SearchWindow(QWidget *mainWindow, SearchDialogState &state)
    : StateWindow(mainWindow, state.changes)
    , m_state(state)
{
    setObjectName(QStringLiteral("Search"));
    setWindowTitle(SearchDialogState::caption());

    for (int i = 0; i < SearchDialogState::FieldCount; ++i) {
        const auto field = SearchDialogState::Field(i);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(kFieldNames[i]));
        if (SearchDialogState::maxLength(field) > 0) {
            edit->setMaxLength(SearchDialogState::maxLength(field));
            const int chars = SearchDialogState::maxLength(field);
            edit->setFixedWidth(QFontMetrics(edit->font()).horizontalAdvance(QString(chars + 1, u'0')) + 12);
        }
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString &text) {
            runCommand([this, field, text] { m_state.editField(field, text); });
        });
        // Every key reaches the core first (Esc closes); the field then
        // takes the key as usual, and a change of its text ticks the box.
        onKey(edit, [this, field](int code, int) {
            m_state.fieldKeyDown(field, code);
            return code == keys::Key_Escape;
        });
        m_fields[i] = edit;
    }

    auto *frame1 = new QGroupBox(QStringLiteral("文字列検索"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_stringCheck = new QCheckBox(QStringLiteral("文字列検索を有効にする"), frame1);
    m_stringCheck->setObjectName(QStringLiteral("String_Check"));
    auto *label10 = new QLabel(QStringLiteral("文字列"), frame1);
    label10->setObjectName(QStringLiteral("Label10"));
    auto *f1 = new QGridLayout(frame1);
    f1->addWidget(m_stringCheck, 0, 0, 1, 2);
    f1->addWidget(label10, 1, 0);
    f1->addWidget(m_fields[SearchDialogState::Search_Text], 1, 1);

    auto *frame2 = new QGroupBox(QStringLiteral("日時検索"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_dateCheck = new QCheckBox(QStringLiteral("日時検索を有効にする"), frame2);
    m_dateCheck->setObjectName(QStringLiteral("DateTime_Check"));
    auto *f2 = new QVBoxLayout(frame2);
    f2->addWidget(m_dateCheck);
    auto row = [this, frame2](std::initializer_list<std::pair<const char16_t *, int>> pieces) {
        auto *line = new QHBoxLayout;
        for (const auto &[text, field] : pieces) {
            if (field >= 0)
                line->addWidget(m_fields[field]);
            if (text)
                line->addWidget(new QLabel(QString::fromUtf16(text), frame2));
        }
        line->addStretch();
        return line;
    };
    using F = SearchDialogState;
    f2->addLayout(row({ { u"西暦", -1 }, { u"年", F::Year1 }, { u"月", F::Month1 }, { u"日  ～", F::Day1 },
        { u"西暦", -1 }, { u"年", F::Year2 }, { u"月", F::Month2 }, { u"日", F::Day2 } }));
    f2->addLayout(row({ { u"時", F::Hour1 }, { u"分", F::Minutes1 }, { u"秒  ～", F::Second1 },
        { u"時", F::Hour2 }, { u"分", F::Minutes2 }, { u"秒", F::Second2 } }));

    auto *ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName(QStringLiteral("Search_Start"));
    defaultButton(ok);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Search_Cancel"));
    returnButton(cancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame2);
    layout->addLayout(buttons);

    connect(m_stringCheck, &QCheckBox::toggled, this,
        [this](bool on) { runCommand([this, on] { m_state.tickString(on); }); });
    connect(m_dateCheck, &QCheckBox::toggled, this,
        [this](bool on) { runCommand([this, on] { m_state.tickDateTime(on); }); });
    connect(ok, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.startSearch(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { runCommand([this] { m_state.cancelSearch(); }); });
    auto controlKeys = [this](QWidget *w, SearchDialogState::Control control) {
        onKey(w, [this, control](int code, int) {
            m_state.controlKeyDown(control, code);
            return code == keys::Key_Escape;
        });
    };
    controlKeys(m_stringCheck, SearchDialogState::String_Check_Control);
    controlKeys(m_dateCheck, SearchDialogState::DateTime_Check_Control);
    controlKeys(ok, SearchDialogState::Search_Start);
    controlKeys(cancel, SearchDialogState::Search_Cancel);
}

void SearchWindow::refresh()
{
    for (int i = 0; i < SearchDialogState::FieldCount; ++i)
        setText(m_fields[i], m_state.fields[i]);
    setChecked(m_stringCheck, m_state.String_Check);
    setChecked(m_dateCheck, m_state.DateTime_Check);
    if (m_state.visible && !m_wasVisible) {
        // The colours as the option stands when the dialog is loaded.
        const bool mono = m_state.monoColors();
        for (QLineEdit *edit : m_fields)
            colours::apply(edit, mono);
    }
    m_wasVisible = m_state.visible;
    syncShown(m_state.visible);
}

void SearchWindow::escape()
{
    m_state.controlKeyDown(SearchDialogState::Form, keys::Key_Escape);
}

} // namespace kavrel::ui
