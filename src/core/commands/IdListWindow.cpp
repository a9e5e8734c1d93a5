#include "commands/IdListWindow.h"

#include "base/KeyCodes.h"
#include "base/Text.h"
#include "session/Session.h"

namespace kavrel::commands {

using namespace kavrel::text;

namespace {
constexpr int kMaxRecipients = 16;
} // namespace

IdListWindow::IdListWindow(Session &session)
    : m_session(session)
{
}

QString IdListWindow::listItem(const QString &line)
{
    const qsizetype colon = findFrom(line, u':');
    // An ID too long for column 6 is listed without blanks.
    return QString(qMax<qsizetype>(6 - colon, 0), u' ') + line;
}

QString IdListWindow::recipientOf(const QString &item)
{
    const qsizetype colon = findFrom(item, u':');
    return colon == 0 ? item : left(item, colon - 1);
}

void IdListWindow::open(Mode mode)
{
    m_session.main.disable();
    m_session.main.loseTitleFocus();
    m_accepted = false;
    m_mailMode = mode == Mode::Mail;
    items.clear();
    const QString &text = m_session.log.IdListText;
    qsizetype p = 1;
    for (;;) {
        const qsizetype e = findFrom(text, CRLF, p);
        if (e == 0)
            break; // a last line without line end is not listed
        items << listItem(mid(text, p, e - p));
        p = e + 2;
    }
    selected = QVector<bool>(items.size(), false);
    Caption = m_mailMode ? QStringLiteral("宛先ＩＤ選択") : QStringLiteral("ＩＤ List");
    mono = m_session.flag(settings::OptionFlags::MonoColors);
    visible = true;
}

void IdListWindow::setSelected(int index, bool on)
{
    if (index >= 0 && index < selected.size())
        selected[index] = on;
}

void IdListWindow::takeChosenIds()
{
    if (busy)
        return;
    if (!m_mailMode) {
        close();
        return;
    }
    QString recipients;
    int count = 0;
    for (int i = 0; i < items.size(); ++i) {
        if (!selected.value(i))
            continue;
        if (++count > kMaxRecipients) {
            m_session.composing.Recipients = recipients;
            m_session.message(QStringLiteral("同報メールは１６件までです"));
            return;
        }
        recipients += recipientOf(items.at(i)) + CRLF;
    }
    m_session.composing.Recipients = recipients;
    if (count == 0) {
        m_session.message(QStringLiteral("宛先ＩＤが選択されていません"));
        return;
    }
    m_session.main.enabled = true;
    m_accepted = true;
    busy = true;
    if (mailAccepted)
        mailAccepted();
    busy = false;
    close();
}

void IdListWindow::keyInIdList(int keyCode)
{
    if (keyCode == keys::Key_Enter)
        accept();
    else if (keyCode == keys::Key_Escape)
        cancel();
}

void IdListWindow::pressKey(int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void IdListWindow::close()
{
    if (!visible || busy)
        return;
    visible = false;
    m_session.main.enabled = true;
    if (!m_accepted && m_mailMode && closedWithoutMail)
        closedWithoutMail();
    clickTitleList(m_session.main);
}

} // namespace kavrel::commands
