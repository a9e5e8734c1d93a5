#include "JapaneseQt.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHash>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kavrel::ui {

namespace {

// The words of Qt's widgets that its Japanese catalogue does not hold.
class MissingQtWords : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char * /*disambiguation*/,
        int /*n*/) const override
    {
        return kWords.value(QString::fromLatin1(context) + u'|' + QString::fromLatin1(sourceText));
    }
    bool isEmpty() const override { return false; }

private:
    inline static const QHash<QString, QString> kWords = {
        { QStringLiteral("QAbstractFileIconProvider|Folder"), QStringLiteral("フォルダー") },
        { QStringLiteral("QAbstractFileIconProvider|File"), QStringLiteral("ファイル") },
        { QStringLiteral("QAbstractFileIconProvider|%1 File"), QStringLiteral("%1 ファイル") },
        { QStringLiteral("QAbstractFileIconProvider|Drive"), QStringLiteral("ドライブ") },
        { QStringLiteral("QAbstractFileIconProvider|Alias"), QStringLiteral("エイリアス") },
        { QStringLiteral("QAbstractFileIconProvider|Shortcut"), QStringLiteral("ショートカット") },
    };
};

// The file list's dates and sizes in the program's locale: Qt writes them in
// the system's, whatever the program chose.
class JapaneseFileList : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == 3)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        if (index.column() == 1 && !files->isDir(source))
            return QLocale().formattedDataSize(files->size(source));
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

void useJapanese()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    installed = true;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto *app = QCoreApplication::instance();
    auto *qt = new QTranslator(app);
    if (qt->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    // Installed last, asked first: only for the words it holds.
    QCoreApplication::installTranslator(new MissingQtWords(app));
}

void makeJapanese(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new JapaneseFileList(&dialog));
}

} // namespace kavrel::ui
