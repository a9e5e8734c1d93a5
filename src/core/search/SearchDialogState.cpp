#include "search/SearchDialogState.h"

#include "base/KeyCodes.h"
#include "base/Text.h"
#include "session/Session.h"

using namespace kavrel::text;

namespace kavrel::search {

namespace {

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}
} // namespace

SearchDialogState::SearchDialogState(Session &session)
    : now([] { return QDateTime::currentDateTime(); })
    , m_s(session)
{
}

int SearchDialogState::maxLength(Field field)
{
    switch (field) {
    case Search_Text:
        return 0;
    case Year1:
    case Year2:
        return 4;
    default:
        return 2;
    }
}

void SearchDialogState::setField(Field field, const QString &text)
{
    const int limit = maxLength(field);
    fields[field] = limit > 0 ? text.left(limit) : text;
}

int SearchDialogState::fourDigitYear(int twoDigits, int thisYear)
{
    int year = thisYear - thisYear % 100 + twoDigits;
    if (year > thisYear + 20)
        year -= 100;
    else if (year <= thisYear - 80)
        year += 100;
    return year;
}

void SearchDialogState::fillRow(const QString &stored, Field year)
{
    // A stored year that is not two digits is shown as it was typed.
    const QString yy = mid(stored, 1, 2);
    bool ok = false;
    const int value = yy.toInt(&ok);
    fields[year] = (ok && yy.size() == 2) ? QString::number(fourDigitYear(value, now().date().year())) : yy;
    fields[year + 1] = mid(stored, 4, 2);
    fields[year + 2] = mid(stored, 7, 2);
    fields[year + 3] = mid(stored, 10, 2);
    fields[year + 4] = mid(stored, 13, 2);
    fields[year + 5] = mid(stored, 16, 2);
}

void SearchDialogState::setRangeFields(const QString &from, const QString &to)
{
    fillRow(from, Year1);
    fillRow(to, Year2);
}

void SearchDialogState::load()
{
    if (m_refused || m_s.search.SearchFrom || m_s.search.SearchTo) {
        setRangeFields(givenFrom(), givenTo());
    } else {
        const QDateTime today = now();
        const QDate date = today.date();
        const QTime time = today.time();
        fields[Year1] = fields[Year2] = QString::number(date.year());
        fields[Month1] = fields[Month2] = twoDigits(date.month());
        fields[Day1] = fields[Day2] = twoDigits(date.day());
        fields[Hour1] = fields[Minutes1] = fields[Second1] = QStringLiteral("00");
        fields[Hour2] = twoDigits(time.hour());
        fields[Minutes2] = twoDigits(time.minute());
        fields[Second2] = twoDigits(time.second());
    }
    DateTime_Check = m_s.search.DateSearchOn;
    String_Check = m_s.search.StringSearchOn;
    if (!m_s.search.SearchText.isEmpty())
        fields[Search_Text] = m_s.search.SearchText;
    visible = true;
}

void SearchDialogState::editField(Field field, const QString &text)
{
    const QString before = fields[field];
    setField(field, text);
    if (fields[field] == before)
        return;
    if (field == Search_Text)
        String_Check = true;
    else
        DateTime_Check = true;
}

void SearchDialogState::fieldKeyDown(Field /*field*/, int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

void SearchDialogState::controlKeyDown(Control /*control*/, int keyCode)
{
    if (keyCode == keys::Key_Escape)
        cancel();
}

bool SearchDialogState::startSearch()
{
    for (Field f : { Month1, Day1, Hour1, Minutes1, Second1, Month2, Day2, Hour2, Minutes2, Second2 }) {
        if (fields[f].size() == 1)
            fields[f] = u'0' + fields[f];
    }
    auto range = [this](Field year) {
        return right(fields[year], 2) + u'/' + fields[year + 1] + u'/' + fields[year + 2] + u' '
            + fields[year + 3] + u':' + fields[year + 4] + u':' + fields[year + 5];
    };
    const QString from = range(Year1);
    const QString to = range(Year2);
    const auto fromBound = searchBound(from);
    const auto toBound = searchBound(to);
    if (!fromBound || !toBound || *fromBound > *toBound) {
        m_refused = std::pair(from, to);
        m_s.message(QStringLiteral("日付又は時間の範囲が不正です"), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    m_refused.reset();
    m_s.search.SearchFrom = fromBound;
    m_s.search.SearchTo = toBound;
    if (fields[Search_Text].isEmpty() && String_Check) {
        m_s.message(QStringLiteral("検索する文字列を入力して下さい"), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    m_s.search.DateSearchOn = DateTime_Check;
    m_s.search.StringSearchOn = String_Check;
    if (!DateTime_Check && !String_Check) {
        m_s.message(QStringLiteral("日時検索、文字列検索ともに行いません。") + CRLF
                + QStringLiteral("検索する場合各チェックボックス何れか又は両方にチェックを入れて下さい"),
            MsgButtons::Ok, MsgIcon::Information);
    }
    m_s.search.SearchText = fields[Search_Text];
    visible = false;
    return true;
}

QString SearchDialogState::givenFrom() const
{
    return m_refused ? m_refused->first : searchBoundText(m_s.search.SearchFrom);
}

QString SearchDialogState::givenTo() const
{
    return m_refused ? m_refused->second : searchBoundText(m_s.search.SearchTo);
}

void SearchDialogState::cancelSearch()
{
    visible = false;
}

bool SearchDialogState::monoColors() const
{
    return m_s.flag(settings::OptionFlags::MonoColors);
}

QVariantList SearchDialogState::look() const
{
    QVariantList values { String_Check, DateTime_Check, visible };
    for (const QString &text : fields)
        values << text;
    return values;
}

} // namespace kavrel::search
