// Title lists whose rows are hard on the builder: a board of articles whose
// numbers are written with "[" (each row is checked against every earlier one
// for the same bracketed number), and a chain of responses each answering the
// one before (every row one level deeper), built and then read row by row.
// Times and memory per size, so that the growth with the number of rows can
// be read off.
//
//   bench_titlerows [rows ...]     default 10000 20000 40000

#include "BenchLog.h"
#include "TitleLogGenerator.h"

#include "reader/Reader.h"
#include "session/Session.h"

#include <QCoreApplication>

using namespace kavrel;
using namespace kavrel::bench;

namespace {

const QString kCrlf = QStringLiteral("\r\n");

// One board "TALK" of rows articles; answer(i) is the number article i answers, or empty.
void load(Session &s, int rows, const std::function<QString(int)> &number,
    const std::function<QString(int)> &answer)
{
    test::TestMarkers::apply(s);
    const QString h = test::TestMarkers::articleHeader() + kCrlf;
    QString log;
    for (int i = 0; i < rows; ++i) {
        log += h + QStringLiteral("TALK(") + number(i) + QStringLiteral("/99) 26/12/01 10:00:00 題") + kCrlf;
        const QString parent = answer(i);
        if (!parent.isEmpty())
            log += QStringLiteral(" <") + parent + QStringLiteral(":A へ") + kCrlf;
        log += QStringLiteral("  1 bytes A:a") + kCrlf + QStringLiteral("本文") + kCrlf;
    }
    log += h;
    s.log.LogText = log;
    s.log.BoardKeys = { QStringLiteral("TALK") };
    s.main.Board_List.items = { QStringLiteral("No.1 ｢話題｣") };
    s.main.Board_List.ListIndex = -1;
}

void run(int rows)
{
    {
        Session s;
        load(
            s, rows, [](int i) { return QStringLiteral("[%1").arg(i); }, [](int) { return QString(); });
        reader::Reader r(s);
        s.main.titleHasFocus = true;
        const double t = seconds([&] { clickBoard(s.main, 0); });
        std::printf(
            "%6d rows numbered \"[n\":        %7.3f s  (%d rows listed)\n", rows, t, s.main.rowCount());
    }
    {
        Session s;
        load(
            s, rows, [](int i) { return QString::number(i + 1); },
            [](int i) { return i == 0 ? QString() : QString::number(i); });
        reader::Reader r(s);
        s.main.titleHasFocus = true;
        const qint64 before = residentNow();
        resetPeak();
        const double t = seconds([&] { clickBoard(s.main, 0); });
        const qint64 peak = residentPeak() - before;
        std::printf("%6d rows in one chain:        %7.3f s  %8.1f MB peak (log %.1f MB)\n", rows, t,
            double(peak) / 1048576.0, double(s.log.LogText.size() * 2) / 1048576.0);
        // Every row of the chain chosen in turn, as reading through it does.
        const double walk = seconds([&] {
            for (int i = 0; i < s.main.rowCount(); ++i)
                clickRow(s.main, i);
        });
        std::printf("%6d rows chosen one by one:   %7.3f s\n", rows, walk);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (const qint64 rows : sizesFrom(argc, argv, { 10000, 20000, 40000 }))
        run(int(rows));
    return 0;
}
