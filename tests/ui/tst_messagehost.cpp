// The core's questions as real message boxes: Return presses the button the
// core names as default, so a question that deletes answers Cancel to it.

#include "QtMessageHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kavrel;

class TestMessageHost : public QObject
{
    Q_OBJECT

private slots:
    void returnPressesTheDefault_data();
    void returnPressesTheDefault();
};

void TestMessageHost::returnPressesTheDefault_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultAnswer");
    QTest::addColumn<int>("expected");
    QTest::newRow("a notice") << int(MsgButtons::Ok) << int(MsgAnswer::Ok) << int(MsgAnswer::Ok);
    QTest::newRow("an ordinary question")
        << int(MsgButtons::OkCancel) << int(MsgAnswer::Ok) << int(MsgAnswer::Ok);
    QTest::newRow("a question that deletes")
        << int(MsgButtons::OkCancel) << int(MsgAnswer::Cancel) << int(MsgAnswer::Cancel);
    QTest::newRow("yes or no") << int(MsgButtons::YesNo) << int(MsgAnswer::Yes) << int(MsgAnswer::Yes);
    QTest::newRow("yes or no, no by default")
        << int(MsgButtons::YesNo) << int(MsgAnswer::No) << int(MsgAnswer::No);
}

void TestMessageHost::returnPressesTheDefault()
{
    QFETCH(int, buttons);
    QFETCH(int, defaultAnswer);
    QFETCH(int, expected);
    ui::QtMessageHost host;
    QString title;
    QTimer::singleShot(0, [&title] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        QTest::keyClick(box, Qt::Key_Return);
    });
    const MsgAnswer answer = host.show(QStringLiteral("アップファイルが存在します！削除しますか？"),
        MsgButtons(buttons), MsgIcon::Critical, MsgAnswer(defaultAnswer));
    QCOMPARE(title, kMessageTitle);
    QCOMPARE(int(answer), expected);
}

QTEST_MAIN(TestMessageHost)
#include "tst_messagehost.moc"
