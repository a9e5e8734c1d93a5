#pragma once

#include "base/ChangeSignal.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace kavrel {
class Session;
}

namespace kavrel::search {

// The string and date-time search dialog without a display: its fields and
// check boxes, the key rule that ticks a box, and the accept that sets the
// session's search state. The year fields show four digits; the stored range
// keeps the two-digit years that the logs print. A range that is refused
// leaves the search as it was and is shown again as typed.
class SearchDialogState
{
public:
    // The dialog's text fields, in the order of its controls.
    enum Field {
        Search_Text = 0,
        Year1,
        Month1,
        Day1,
        Hour1,
        Minutes1,
        Second1,
        Year2,
        Month2,
        Day2,
        Hour2,
        Minutes2,
        Second2,
        FieldCount
    };
    // Controls that receive keys besides the fields.
    enum Control { Form, String_Check_Control, DateTime_Check_Control, Search_Start, Search_Cancel };

    explicit SearchDialogState(Session &session);

    // Today's date and time; tests set a fixed clock.
    std::function<QDateTime()> now;

    std::array<QString, FieldCount> fields;
    bool String_Check = false;
    bool DateTime_Check = false;
    bool visible = false;
    // Tells the dialog that what it shows changed.
    ChangeSignal changes { ChangeSignal::fromValues([this] { return look(); }) };
    // The user ticked or cleared a box.
    void tickString(bool on) { String_Check = on; }
    void tickDateTime(bool on) { DateTime_Check = on; }
    // Whether the fields swap their colours (the option MonoColors).
    bool monoColors() const;

    static QString caption() { return QStringLiteral("文字列＆日時検索"); }
    // At most this many characters in a field (0: no limit).
    static int maxLength(Field field);
    // Types a field's text, cut to its limit.
    void setField(Field field, const QString &text);
    const QString &field(Field field) const { return fields[field]; }

    // Fills the fields from the stored range, or with today from midnight
    // until now, and the boxes and text from the search state; shows the dialog.
    void load();
    // Shows two stored range texts ("yy/MM/dd hh:mm:ss") in the date-time
    // fields, as reopening the dialog does.
    void setRangeFields(const QString &from, const QString &to);
    // The user changed a field's text: a new value in a date-time field ticks
    // the date-time box, in the text field the string box. Keys that change
    // nothing (Tab, Return, the arrows) tick nothing.
    void editField(Field field, const QString &text);
    // A key pressed in a field: Esc closes the dialog unchanged.
    void fieldKeyDown(Field field, int keyCode);
    // A key pressed in one of the other controls.
    void controlKeyDown(Control control, int keyCode);
    // Accept: answers true when the dialog closed, false when a message kept it open.
    bool startSearch();
    void cancelSearch();
    bool accept() { return startSearch(); }
    void cancel() { cancelSearch(); }

    // The four-digit year for a two-digit one, within 80 years before and
    // 20 years after the given year.
    static int fourDigitYear(int twoDigits, int thisYear);

    // The range as last given: a refused one as typed, else the stored one
    // ("yy/MM/dd hh:mm:ss").
    QString givenFrom() const;
    QString givenTo() const;

private:
    QVariantList look() const;
    void fillRow(const QString &stored, Field year);

    // The texts of a refused range, until a range is accepted.
    std::optional<std::pair<QString, QString>> m_refused;

    Session &m_s;
};

} // namespace kavrel::search
