#include "EditorWindow.h"

#include "Fonts.h"

#include "commands/BuiltInEdit.h"
#include "commands/ComposeSubject.h"
#include "commands/Drafts.h"
#include "session/Session.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kavrel::ui {

namespace {

// Half-width columns of a text: full-width characters take two, as on the host's screen.
int columns(QStringView text)
{
    int n = 0;
    for (const QChar c : text) {
        if (c.isLowSurrogate())
            continue;
        const char16_t u = c.unicode();
        n += (u >= 0x1100 && !(u >= 0xFF61 && u <= 0xFFDC)) ? 2 : 1;
    }
    return n;
}

} // namespace

int GuideTextEdit::guideX() const
{
    const qreal column = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
    return int(contentOffset().x() + document()->documentMargin() + kGuideColumns * column);
}

void GuideTextEdit::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    QColor guide = palette().color(QPalette::Text);
    guide.setAlpha(70);
    painter.setPen(QPen(guide, 1, Qt::DashLine));
    const int x = guideX();
    painter.drawLine(x, 0, x, viewport()->height());
}

EditorWindow::EditorWindow(Session &session)
    : QDialog(nullptr)
    , m_session(session)
{
    setObjectName(QStringLiteral("Editor"));
    setProperty("kavrelWindow", true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);

    m_edit = new GuideTextEdit(this);
    m_edit->setObjectName(QStringLiteral("EditorText"));
    QFont font = fonts::listFont();
    font.setPointSize(std::max(11, font.pointSize()));
    m_edit->setFont(font);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setTabChangesFocus(false);

    auto *save = new QPushButton(QStringLiteral("保存して閉じる(Ctrl+S)"), this);
    save->setObjectName(QStringLiteral("EditorSave"));
    auto *discardButton = new QPushButton(QStringLiteral("破棄(Esc)"), this);
    discardButton->setObjectName(QStringLiteral("EditorDiscard"));
    for (QPushButton *b : { save, discardButton }) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
    }
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("EditorPosition"));
    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->addWidget(m_position);
    // To whom or to what the text goes.
    auto *subject = new QLabel(this);
    subject->setObjectName(QStringLiteral("EditorSubject"));
    status->addWidget(subject, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(discardButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
    layout->addWidget(status);

    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(shortcut, &QShortcut::activated, this, &EditorWindow::saveAndClose);
    connect(save, &QPushButton::clicked, this, &EditorWindow::saveAndClose);
    connect(discardButton, &QPushButton::clicked, this, &EditorWindow::discard);
    connect(m_edit, &QPlainTextEdit::cursorPositionChanged, this, &EditorWindow::showPosition);
    m_draftTimer = new QTimer(this);
    m_draftTimer->setSingleShot(true);
    m_draftTimer->setInterval(kDraftDelayMs);
    connect(m_draftTimer, &QTimer::timeout, this, &EditorWindow::keepDraft);
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        m_draftKept = false;
        if (m_loop)
            m_draftTimer->start();
    });

    // Room for the 80 columns and the guide.
    const int width = m_edit->guideX() + QFontMetrics(font).horizontalAdvance(QStringLiteral("0000"))
        + m_edit->verticalScrollBar()->sizeHint().width() + 2 * m_edit->frameWidth() + 8;
    resize(width, 28 * QFontMetrics(font).lineSpacing());
    showPosition();
}

bool EditorWindow::edit(const QString & /*editorPath*/, const QString &filePath, QString *error)
{
    if (m_loop) {
        if (error)
            *error = QStringLiteral("内蔵エディタは編集中です");
        return false;
    }
    QString text;
    if (!commands::builtinedit::load(filePath, &text, error))
        return false;
    m_path = filePath;
    setWindowTitle(QStringLiteral("Kavrel エディタ[") + filePath + u']');
    findChild<QLabel *>(QStringLiteral("EditorSubject"))->setText(commands::composeSubject(m_session));
    m_edit->setPlainText(text);
    m_edit->document()->setModified(false);
    m_draftTimer->stop();
    m_draftKept = true;
    m_edit->moveCursor(QTextCursor::Start);
    showPosition();
    show();
    raise();
    activateWindow();
    m_edit->setFocus(Qt::OtherFocusReason);

    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    hide();
    return true;
}

void EditorWindow::saveAndClose()
{
    if (!m_loop)
        return;
    QString message;
    if (!commands::builtinedit::save(m_path, m_edit->toPlainText(), &message)) {
        m_session.message(message, MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    finish();
}

void EditorWindow::discard()
{
    if (!m_loop)
        return;
    if (m_edit->document()->isModified()
        && m_session.message(commands::builtinedit::kDiscardQuestion, MsgButtons::YesNo, MsgIcon::Critical)
            != MsgAnswer::Yes)
        return;
    finish();
}

void EditorWindow::keepDraft()
{
    m_draftTimer->stop();
    if (!m_loop || m_draftKept || !m_drafts)
        return;
    // A draft that cannot be kept is said once by the drafts; writing goes on.
    m_draftKept = true;
    m_drafts->keepText(m_edit->toPlainText());
}

void EditorWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        keepDraft();
}

void EditorWindow::finish()
{
    m_draftTimer->stop();
    hide();
    if (m_loop)
        m_loop->quit();
}

void EditorWindow::reject()
{
    discard(); // Esc
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (m_loop)
        discard();
    else
        event->accept();
}

void EditorWindow::showPosition()
{
    const QTextCursor cursor = m_edit->textCursor();
    const QString line = cursor.block().text();
    const int column = columns(QStringView(line).left(cursor.positionInBlock())) + 1;
    m_position->setText(QStringLiteral("%1 行  %2 桁").arg(cursor.blockNumber() + 1).arg(column));
}

} // namespace kavrel::ui
