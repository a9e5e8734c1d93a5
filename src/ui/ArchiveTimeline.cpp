#include "ArchiveTimeline.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace kavrel::ui {

namespace {
constexpr int kMargin = 4;
constexpr int kLabelHeight = 16; // the years below the bars
} // namespace

ArchiveTimeline::ArchiveTimeline(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Archive_Timeline"));
    setMinimumHeight(60);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ArchiveTimeline::sizeHint() const
{
    return { 400, 110 };
}

void ArchiveTimeline::setMonths(const QList<std::pair<QString, int>> &months)
{
    m_months = months;
    m_highest = 0;
    for (const auto &month : months)
        m_highest = std::max(m_highest, month.second);
    m_first = m_last = m_pressed = -1;
    setToolTip(QString());
    update();
}

void ArchiveTimeline::setSelection(int first, int last)
{
    m_first = first;
    m_last = last;
    update();
}

QRect ArchiveTimeline::plotArea() const
{
    return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin - kLabelHeight);
}

QRect ArchiveTimeline::barRect(int month) const
{
    const QRect area = plotArea();
    const auto n = int(m_months.size());
    if (month < 0 || month >= n)
        return {};
    // Each month its share of the width, whole pixels, the rest spread left to right.
    const int left = area.left() + int(qint64(area.width()) * month / n);
    const int right = area.left() + int(qint64(area.width()) * (month + 1) / n);
    return QRect(QPoint(left, area.top()), QPoint(std::max(left, right - 1), area.bottom()));
}

int ArchiveTimeline::monthAt(int x) const
{
    const QRect area = plotArea();
    const auto n = int(m_months.size());
    if (n == 0 || area.width() <= 0)
        return -1;
    return std::clamp(int(qint64(x - area.left()) * n / area.width()), 0, n - 1);
}

void ArchiveTimeline::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRect area = plotArea();
    const QColor bar = palette().color(QPalette::Dark);
    const QColor chosen = palette().color(QPalette::Highlight);
    for (int i = 0; i < m_months.size(); ++i) {
        const QRect slot = barRect(i);
        const bool inSelection = m_first >= 0 && i >= m_first && i <= m_last;
        if (inSelection)
            p.fillRect(slot, chosen.lighter(170));
        const int count = m_months.at(i).second;
        if (count > 0 && m_highest > 0) {
            const int height = std::max(1, int(qint64(area.height()) * count / m_highest));
            const int gap = slot.width() > 3 ? 1 : 0;
            p.fillRect(QRect(slot.left(), area.bottom() - height + 1, slot.width() - gap, height),
                inSelection ? chosen : bar);
        }
        // A year starts: a tick, and its number under the bars.
        const QString &month = m_months.at(i).first;
        if (i == 0 || month.endsWith(QLatin1String("-01"))) {
            p.setPen(palette().color(QPalette::Mid));
            p.drawLine(slot.left(), area.top(), slot.left(), area.bottom() + 3);
            p.setPen(palette().color(QPalette::Text));
            p.drawText(QRect(slot.left() + 2, area.bottom() + 2, 60, kLabelHeight),
                Qt::AlignLeft | Qt::AlignVCenter, month.left(4));
        }
    }
}

void ArchiveTimeline::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_months.isEmpty())
        return;
    m_pressed = monthAt(event->position().toPoint().x());
    setSelection(m_pressed, m_pressed);
}

void ArchiveTimeline::mouseMoveEvent(QMouseEvent *event)
{
    const int month = monthAt(event->position().toPoint().x());
    if (month >= 0 && month < m_months.size())
        setToolTip(m_months.at(month).first + QStringLiteral(": %1 件").arg(m_months.at(month).second));
    if (m_pressed < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    setSelection(std::min(m_pressed, month), std::max(m_pressed, month));
}

void ArchiveTimeline::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_pressed < 0)
        return;
    const int month = monthAt(event->position().toPoint().x());
    const int first = std::min(m_pressed, month);
    const int last = std::max(m_pressed, month);
    m_pressed = -1;
    setSelection(first, last);
    emit monthsChosen(first, last);
}

} // namespace kavrel::ui
