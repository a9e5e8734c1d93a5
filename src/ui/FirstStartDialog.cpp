#include "FirstStartDialog.h"

#include "settings/WorkingDirectory.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavrel::ui {

FirstStartDialog::FirstStartDialog(const QString &problem, const QString &folder, QWidget *parent)
    : QDialog(parent)
    , m_problem(new QLabel(this))
    , m_path(new QLineEdit(this))
    , m_open(new QPushButton(QStringLiteral("開く(&O)"), this))
    , m_create(new QPushButton(QStringLiteral("新しく作る(&N)"), this))
{
    setWindowTitle(QStringLiteral("Kavrel - 作業フォルダ"));
    auto *intro = new QLabel(QStringLiteral("ログと設定を置く作業フォルダを選んでください。\n"
                                            "DIR.DEF のあるフォルダを開くか、新しい作業フォルダを作ります。"),
        this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020;"));
    say(problem);
    m_path->setObjectName(QStringLiteral("folder"));
    m_path->setText(QDir::toNativeSeparators(folder));
    m_path->setMinimumWidth(360);
    auto *browse = new QPushButton(QStringLiteral("参照(&B)…"), this);
    auto *quit = new QPushButton(QStringLiteral("終了"), this);
    m_open->setObjectName(QStringLiteral("open"));
    m_create->setObjectName(QStringLiteral("create"));
    m_open->setDefault(true);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_open);
    buttons->addWidget(m_create);
    buttons->addWidget(quit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_problem);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &FirstStartDialog::browse);
    connect(m_open, &QPushButton::clicked, this, &FirstStartDialog::openExisting);
    connect(m_create, &QPushButton::clicked, this, &FirstStartDialog::createNew);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

void FirstStartDialog::browse()
{
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("作業フォルダを選ぶ"), QDir::fromNativeSeparators(m_path->text()));
    if (!chosen.isEmpty())
        m_path->setText(QDir::toNativeSeparators(chosen));
}

void FirstStartDialog::openExisting()
{
    const QString path = QDir::fromNativeSeparators(m_path->text().trimmed());
    if (path.isEmpty()) {
        say(QStringLiteral("フォルダを指定してください。"));
        return;
    }
    const QString problem = settings::WorkingDirectory::problemOf(path);
    if (!problem.isEmpty()) {
        say(problem);
        return;
    }
    m_folder = QFileInfo(path).absoluteFilePath();
    m_created = false;
    accept();
}

void FirstStartDialog::createNew()
{
    const QString path = QDir::fromNativeSeparators(m_path->text().trimmed());
    if (path.isEmpty()) {
        say(QStringLiteral("新しい作業フォルダにするフォルダを指定してください。"));
        return;
    }
    // A folder that is a working directory already is opened as it is.
    if (settings::WorkingDirectory::problemOf(path).isEmpty()) {
        openExisting();
        return;
    }
    settings::NetContext context;
    if (!settings::WorkingDirectory::create(context, path)) {
        const QString why
            = context.FileFailures.isEmpty() ? QString() : context.FileFailures.constLast().error.toString();
        say(QStringLiteral("作業フォルダを作れませんでした。\n%1").arg(why));
        return;
    }
    m_folder = context.AppDir;
    m_created = true;
    accept();
}

void FirstStartDialog::say(const QString &text)
{
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
}

} // namespace kavrel::ui
