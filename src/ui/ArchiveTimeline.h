#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <utility>

namespace kavrel::ui {

// A board's articles per month as bars, labelled by year. A click on a bar
// chooses its month, a drag the months from the press to the release.
class ArchiveTimeline : public QWidget
{
    Q_OBJECT
public:
    explicit ArchiveTimeline(QWidget *parent = nullptr);

    // Months as "YYYY-MM" with their counts; no month is chosen.
    void setMonths(const QList<std::pair<QString, int>> &months);
    // The chosen months (places in the list), or -1 for none.
    void setSelection(int first, int last);
    int firstMonth() const { return m_first; }
    int lastMonth() const { return m_last; }

    // Where the bar of a month lies, across the full height it may take.
    QRect barRect(int month) const;
    QSize sizeHint() const override;

signals:
    // A click or drag chose months from first to last.
    void monthsChosen(int first, int last);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect plotArea() const;
    int monthAt(int x) const;

    QList<std::pair<QString, int>> m_months;
    int m_highest = 0;
    int m_first = -1;
    int m_last = -1;
    int m_pressed = -1; // the month a drag started on
};

} // namespace kavrel::ui
