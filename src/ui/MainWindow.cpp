#include "MainWindow.h"

#include "ArchiveWindow.h"
#include "Colours.h"
#include "ExportDialog.h"
#include "Fonts.h"
#include "FullSearchWindow.h"
#include "ListBoxModel.h"
#include "ProgramCommands.h"
#include "RawLogView.h"
#include "TitleListModel.h"
#include "TitleView.h"
#include "UpPreviewWindow.h"
#include "VbKeys.h"
#include "WindowPlaces.h"
#include "WindowPrefs.h"

#include "program/Program.h"
#include "reader/Reader.h"
#include "session/Session.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStringListModel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace kavrel::ui {

namespace {

const QString kListTip = QStringLiteral("各アーティクルのタイトルです");

struct ToolButtonLook
{
    const char *themeIcon;
    QStyle::StandardPixmap fallback;
    const char16_t *toolTip;
};

// The toolbar's buttons, left to right.
const ToolButtonLook kToolButtons[] = {
    { "network-workgroup", QStyle::SP_DriveNetIcon, u"ネット選択画面" },
    { "mail-message-new", QStyle::SP_FileDialogDetailedView, u"メール書込" },
    { "document-new", QStyle::SP_FileIcon, u"新規書込" },
    { "edit-find", QStyle::SP_FileDialogContentsView, u"文字列＆日付検索" },
    { "folder", QStyle::SP_DirIcon, u"ディレクトリ設定" },
    { "help-contents", QStyle::SP_MessageBoxQuestion, u"ヘルプ" },
    { "mail-reply-sender", QStyle::SP_ArrowBack, u"レスポンス書込" },
    { "edit-delete", QStyle::SP_TrashIcon, u"書込削除" },
};

// Display columns of a text: full-width characters take two.
int displayColumns(const QString &text)
{
    int columns = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        columns += (u >= 0x1100 && !(u >= 0xFF61 && u <= 0xFFDC)) ? 2 : 1;
    }
    return columns;
}

// The pixel width of the widest text. Measuring 100,000 titles would hold up
// the display of a board; the few widest by columns are measured instead.
int widestText(const TextItems &texts, const QFont &font)
{
    constexpr int kMeasured = 32;
    QList<std::pair<int, int>> byColumns; // columns, index
    byColumns.reserve(texts.size());
    for (int i = 0; i < texts.size(); ++i)
        byColumns.append({ displayColumns(texts.at(i)), i });
    const auto cut = byColumns.size() > kMeasured ? byColumns.begin() + kMeasured : byColumns.end();
    std::partial_sort(byColumns.begin(), cut, byColumns.end(), std::greater<>());
    const QFontMetrics metrics(font);
    int widest = 0;
    for (auto it = byColumns.begin(); it != cut; ++it)
        widest = std::max(widest, metrics.horizontalAdvance(texts.at(it->second)));
    return widest;
}

} // namespace

MainWindow::MainWindow(ProgramCommands &program, Session &session)
    : QMainWindow(nullptr)
    , m_program(program)
    , m_session(session)
{
    setObjectName(QStringLiteral("Kavrel"));
    setProperty("kavrelWindow", true);
    setWindowTitle(session.main.Caption);
    resize(640, 480);

    m_central = new QWidget(this);
    setCentralWidget(m_central);
    const QFont listFont = fonts::listFont();

    m_boardList = new QComboBox(m_central);
    m_boardList->setObjectName(QStringLiteral("Board_List"));
    m_boardList->setToolTip(QStringLiteral("ボードリストです"));
    m_boardList->setFont(listFont);
    m_boardList->setMaxVisibleItems(20);
    m_boardList->installEventFilter(this);
    connect(m_boardList, &QComboBox::activated, this, [this](int index) {
        // The board list has the focus while the user chooses from it.
        m_program.forward([this, index] {
            m_session.main.loseTitleFocus();
            clickBoard(m_session.main, index);
        });
    });

    m_articleCount = new QLabel(m_session.main.ArticleCount.Caption, m_central);
    m_articleCount->setObjectName(QStringLiteral("ArticleCount"));
    m_articleCount->setToolTip(QStringLiteral("現在表示中の書込数の表示"));
    m_articleCount->setAlignment(Qt::AlignCenter);
    m_articleCount->setFrameShape(QFrame::Panel);
    m_articleCount->setFrameShadow(QFrame::Sunken);
    m_toNo = new QLabel(m_session.main.To_No.Caption, m_central);
    m_toNo->setObjectName(QStringLiteral("To_No"));
    m_toNo->setToolTip(QStringLiteral("移動レス先のボードナンバーの表示"));
    m_toNo->setAlignment(Qt::AlignCenter);
    m_toNo->setFrameShape(QFrame::Panel);
    m_toNo->setFrameShadow(QFrame::Sunken);

    // The title list and the article view share the height below the board
    // list; the user can move the split between them.
    m_splitter = new QSplitter(Qt::Vertical, m_central);
    m_splitter->setObjectName(QStringLiteral("TitleArticleSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_titlePane = new QWidget(m_splitter);
    m_titlePane->setObjectName(QStringLiteral("TitlePane"));
    m_titlePane->installEventFilter(this);

    buildTitleView(listFont);
    buildArticleView(listFont);

    m_splitter->addWidget(m_titlePane);
    m_splitter->addWidget(m_article);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_article->installEventFilter(this);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] {
        if (m_layingOut)
            return;
        m_titlePaneHeight = m_splitter->sizes().value(0);
        prefs::open()->setValue(prefs::kTitleHeight, m_titlePaneHeight);
    });

    // Headings, hidden unless the user shows them; widths the user can drag.
    QHeaderView *header = m_title->horizontalHeader();
    header->setObjectName(QStringLiteral("TitleHeader"));
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    // The selection is the reader's: a heading selects nothing.
    header->setSectionsClickable(false);
    header->setFocusPolicy(Qt::NoFocus);
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (m_layingOut)
            return;
        if (column == TitleListModel::TitleColumn) {
            layoutTitlePane(); // the title column fills what the others leave
            return;
        }
        m_columnWidths = { m_title->columnWidth(TitleListModel::BatchColumn),
            m_title->columnWidth(TitleListModel::NumberColumn),
            m_title->columnWidth(TitleListModel::InfoColumn) };
        prefs::open()->setValue(prefs::kColumnWidths, QVariant::fromValue(m_columnWidths));
        layoutTitlePane();
    });

    buildMenus();
    buildToolBar();
    loadPrefs();
    refresh();
    applyColours();
    connect(&m_session.main.changes(), &ChangeSignal::changed, this, [this] {
        refresh();
        emit refreshed();
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::buildTitleView(const QFont &listFont)
{
    m_titleModel = new TitleListModel(m_session.main, this);
    m_title = new TitleView(m_titlePane);
    m_title->setObjectName(QStringLiteral("Title"));
    m_title->setToolTip(kListTip);
    m_title->setFont(listFont);
    m_listFont = m_title->font(); // as the platform sizes it
    m_title->setModel(m_titleModel);
    m_title->verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 2);
    connect(m_title, &TitleView::command, this, [this](ReaderCommand command) {
        m_program.forward([this, command] { m_program.titlePress(command); });
    });
    connect(m_title, &TitleView::keyDown, this, &MainWindow::titleKey);
    connect(m_title, &TitleView::rowClicked, this, [this](int row, int column) {
        reader::Reader &reader = m_program.reader();
        m_program.forward([this, &reader, row, column] {
            switch (column) {
            case TitleListModel::BatchColumn:
                // The batch column hands the focus straight back to Title.
                m_session.main.loseTitleFocus();
                reader.batchColumnFocused();
                break;
            case TitleListModel::NumberColumn:
                clickTitleList(m_session.main);
                clickRow(m_session.main, row);
                break;
            case TitleListModel::InfoColumn:
                reader.chooseRowInInfoColumn(row);
                break;
            default:
                reader.chooseRowInTitleColumn(row);
                break;
            }
        });
    });
    connect(m_title, &TitleView::gotFocus, this, [this] {
        // While the editor runs the main window is away: its focus events
        // are the window system's, not the user's.
        if (m_session.main.titleHasFocus || m_program.editorRunning())
            return;
        m_program.forward([this] { clickTitleList(m_session.main); });
    });
    connect(m_title, &TitleView::lostFocus, this,
        [this] { m_program.forward([this] { m_session.main.loseTitleFocus(); }); });

    m_titleScroll = new QScrollBar(Qt::Horizontal, m_titlePane);
    m_titleScroll->setObjectName(QStringLiteral("TitleScroll"));
    m_titleScroll->setFocusPolicy(Qt::NoFocus);
    connect(m_titleScroll, &QScrollBar::valueChanged, this, [this](int value) {
        m_title->titleDelegate()->setOffset(value);
        m_title->viewport()->update();
    });
}

void MainWindow::buildArticleView(const QFont &listFont)
{
    m_articleModel
        = new ListBoxModel([this]() -> const QStringList & { return m_session.main.Article.items; }, this);
    m_article = new QListView(m_splitter);
    m_article->setObjectName(QStringLiteral("Article"));
    m_article->setToolTip(QStringLiteral("アーティクル内容です"));
    m_article->setFont(listFont);
    m_article->setModel(m_articleModel);
    m_article->setUniformItemSizes(true);
    m_article->setWordWrap(false);
    m_article->setTextElideMode(Qt::ElideNone);
    m_article->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_article->setSelectionMode(QAbstractItemView::SingleSelection);
    // Article hands the focus straight back to Title: it never takes it.
    m_article->setFocusPolicy(Qt::NoFocus);
    m_articleLineHeight = articleLineHeight(listFont);
    connect(m_article, &QListView::clicked, this, [this](const QModelIndex &index) {
        m_program.forward([this, index] {
            m_session.main.Article.ListIndex = index.row();
            m_session.main.loseTitleFocus();
            m_program.reader().articleViewFocused();
        });
    });
}

int MainWindow::articleLineHeight(const QFont &font)
{
    // The height of one line as the view lays it out.
    QStringListModel sample(QStringList { QStringLiteral("Xあ") });
    QListView probe;
    probe.setFont(font);
    probe.setModel(&sample);
    return std::max(1, probe.sizeHintForRow(0));
}

void MainWindow::setZoom(int steps)
{
    m_zoom = std::clamp(steps, kMinZoom, kMaxZoom);
    QFont font = m_listFont;
    // One point a step, or the pixel equivalent for a font sized in pixels.
    if (font.pointSizeF() > 0)
        font.setPointSizeF(std::max(4.0, font.pointSizeF() + m_zoom));
    else
        font.setPixelSize(std::max(4, font.pixelSize() + m_zoom * 4 / 3));
    m_title->setFont(font);
    m_title->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 2);
    m_article->setFont(font);
    m_articleLineHeight = articleLineHeight(font);
    prefs::open()->setValue(prefs::kZoom, m_zoom);
    layoutLists();
    articleResized();
}

void MainWindow::buildMenus()
{
    auto add = [this](QMenu *menu, const char *name, const QString &caption, auto handler) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, handler] { m_program.forward(handler); });
        return a;
    };
    ProgramCommands &p = m_program;

    QMenu *file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("File"));
    add(file, "Net_Select_Screen", QStringLiteral("ネット選択(&N)"), [&p] { p.netSelectCommand(); });
    add(file, "Open_Working_Directory", QStringLiteral("作業フォルダを開く(&O)…"), [this] {
        const QString folder
            = QFileDialog::getExistingDirectory(this, QStringLiteral("作業フォルダを開く"), m_session.AppDir);
        if (!folder.isEmpty())
            m_program.openWorkingDirectory(folder);
    });
    add(file, "Export", QStringLiteral("エクスポート…"),
        [this] { exportWithDialog(this, m_session, false); });
    add(file, "Export_Thread", QStringLiteral("スレッドをエクスポート…"),
        [this] { exportWithDialog(this, m_session, true); });
    // 送信予定の確認; its Ctrl+U reaches it from the title list too.
    add(file, "Up_Preview", QStringLiteral("送信予定の確認(&U)"), [this] {
        UpPreviewWindow::showFor(m_program, this);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    // 通し読み of the current board; its Ctrl+T reaches it from the title list too.
    add(file, "Archive_Read", QStringLiteral("通し読み…"), [this] {
        ArchiveWindow::showFor(m_program, this);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    add(file, "END_Kavrel", QStringLiteral("Kavrelを終了する(&Q)"), [this] { close(); });

    // The up file's undo history; the title list's Ctrl+Z and Ctrl+Y are these.
    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("Edit"));
    add(edit, "Undo", QStringLiteral("元に戻す(&U)"), [&p] {
        p.titleCommand(ReaderCommand::Undo);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    add(edit, "Redo", QStringLiteral("やり直し(&R)"), [&p] {
        p.titleCommand(ReaderCommand::Redo);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));

    QMenu *view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName(QStringLiteral("View"));
    add(view, "ID_LIST", QStringLiteral("ＩＤ List表示(&I)"), [&p] { p.showIdList(); });
    add(view, "Raw_Log", QStringLiteral("ログで表示(&L)"),
        [this] { RawLogView::showFor(this, m_session, m_program.reader()); });
    // The title list and the article view grow and shrink together.
    QAction *zoomIn
        = view->addAction(QStringLiteral("文字を大きく(&+)"), this, [this] { setZoom(m_zoom + 1); });
    zoomIn->setObjectName(QStringLiteral("ZoomIn"));
    zoomIn->setShortcuts({ QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal) });
    QAction *zoomOut
        = view->addAction(QStringLiteral("文字を小さく(&-)"), this, [this] { setZoom(m_zoom - 1); });
    zoomOut->setObjectName(QStringLiteral("ZoomOut"));
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    QAction *zoomReset = view->addAction(QStringLiteral("元の大きさ(&0)"), this, [this] { setZoom(0); });
    zoomReset->setObjectName(QStringLiteral("ZoomReset"));
    zoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    view->addSeparator();
    QAction *headings = view->addAction(QStringLiteral("列見出しを表示(&H)"));
    headings->setObjectName(QStringLiteral("ColumnHeadings"));
    headings->setCheckable(true);
    connect(headings, &QAction::toggled, this, [this](bool on) {
        m_title->horizontalHeader()->setVisible(on);
        prefs::open()->setValue(prefs::kColumnHeadings, on);
        layoutLists();
    });

    QMenu *search = menuBar()->addMenu(QStringLiteral("検索関連(&S)"));
    search->setObjectName(QStringLiteral("Kensaku_Pointer"));
    add(search, "Search_Pointer", QStringLiteral("未読検索ポインター初期化(&C)"),
        [&p] { p.searchPointer(); });
    add(search, "Read_End", QStringLiteral("すべて読み終わった事にする(&E)"), [&p] { p.readEnd(); });
    add(search, "Search_Log", QStringLiteral("文字列＆日時検索(&S)"), [&p] { p.showSearch(); });
    // 全ログ検索; its Ctrl+F reaches it from the title list too.
    add(search, "Full_Search", QStringLiteral("全ログ検索(&A)"), [this] {
        FullSearchWindow::showFor(m_program, this);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));

    QMenu *option = menuBar()->addMenu(QStringLiteral("オプション(&O)"));
    option->setObjectName(QStringLiteral("option"));
    add(option, "SET", QStringLiteral("設定(&F)"), [&p] { p.showDefineData(); });
    // The ASCII letter, so that the D key reaches it.
    add(option, "Define", QStringLiteral("ディレクトリ設定(&D)"), [&p] { p.showDefineOp(); });
    add(option, "Ido_Set", QStringLiteral("移動書込ボードNo.設定(&I)"), [&p] { p.showIdo(); });

    QMenu *help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("Help"));
    add(help, "Version", QStringLiteral("バージョン情報(&V)"), [&p] { p.showVersion(); });
    add(help, "Key_ON", QStringLiteral("キー操作一覧(&K)"), [&p] { p.showKeyList(); });
}

void MainWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar"));
    bar->setMovable(false);
    bar->setFocusPolicy(Qt::NoFocus);
    ProgramCommands &p = m_program;
    const std::function<void()> clicks[8] = {
        [&p] { p.netSelectCommand(); }, [this] { m_program.titleCommand(ReaderCommand::Mail); }, // M: mail
        [this] { m_program.titleCommand(ReaderCommand::Write); }, // W: new article
        [&p] { p.showSearch(); }, [&p] { p.showDefineOp(); }, [&p] { p.showKeyList(); },
        [this] { m_program.titleCommand(ReaderCommand::Respond); }, // P: response
        [this] { m_program.titleCommand(ReaderCommand::Delete); }, // D: delete a write
    };
    for (int i = 0; i < 8; ++i) {
        const ToolButtonLook &look = kToolButtons[i];
        auto *button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("toolButton%1").arg(i + 1));
        // The desktop's icon theme first (some themes name only the symbolic form).
        const QString name = QLatin1String(look.themeIcon);
        button->setIcon(QIcon::fromTheme(
            name, QIcon::fromTheme(name + QLatin1String("-symbolic"), style()->standardIcon(look.fallback))));
        button->setToolTip(QString::fromUtf16(look.toolTip));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        const std::function<void()> click = clicks[i];
        connect(button, &QToolButton::clicked, this, [this, click] { m_program.forward(click); });
        bar->addWidget(button);
        m_buttons << button;
    }
}

QAction *MainWindow::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

QToolButton *MainWindow::toolButton(int number) const
{
    return m_buttons.value(number - 1);
}

double MainWindow::unit() const
{
    return m_title->verticalHeader()->defaultSectionSize() / 16.0;
}

void MainWindow::titleKey(int keyCode, int shift)
{
    // L: the open log as captured, at the shown article.
    if (keyCode == 'L' && shift == 0) {
        m_program.forward([this] { RawLogView::showFor(this, m_session, m_program.reader()); });
        return;
    }
    m_program.forward([this, keyCode, shift] { m_program.titleKeyPress(keyCode, shift); });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == m_titlePane)
            layoutTitlePane();
        else if (watched == m_article)
            articleResized();
    }
    // keyInBoardList: any key sends the focus to Title.
    if (watched == m_boardList && event->type() == QEvent::KeyPress) {
        m_program.forward([this] {
            m_session.main.loseTitleFocus();
            m_program.reader().keyInBoardList();
        });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_program.mainWindowClosing();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_program.forward([this] { m_program.mainWindowActivated(); });
        // Disabling the window took the focus from Title; it comes back on
        // activation, with the title list's own handling.
        QWidget *focus = focusWidget();
        if (isEnabled() && (!focus || focus == m_title) && !m_title->hasFocus())
            m_title->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutLists();
}

void MainWindow::loadPrefs()
{
    const auto settings = prefs::open();
    m_titlePaneHeight = std::max(0, settings->value(prefs::kTitleHeight, 0).toInt());
    m_columnWidths.clear();
    for (const QVariant &v : settings->value(prefs::kColumnWidths).toList())
        m_columnWidths << std::max(1, v.toInt());
    if (m_columnWidths.size() != 3)
        m_columnWidths.clear();
    const bool headings = settings->value(prefs::kColumnHeadings, false).toBool();
    const int zoom = settings->value(prefs::kZoom, 0).toInt();
    if (zoom != 0)
        setZoom(zoom);
    m_title->horizontalHeader()->setVisible(headings);
    QSignalBlocker block(action(QStringLiteral("ColumnHeadings")));
    action(QStringLiteral("ColumnHeadings"))->setChecked(headings);
}

void MainWindow::layoutLists()
{
    // resizeArticleView, in units of a sixteenth of a list row. Board_List and the
    // labels keep their places above the title list.
    const double u = unit();
    const int w = m_central->width();
    const int h = m_central->height();
    auto px = [u](double units) { return qRound(units * u); };

    const int row = m_title->verticalHeader()->defaultSectionSize();
    const int comboHeight = m_boardList->sizeHint().height();
    const int labelWidth = std::max(px(100), m_articleCount->sizeHint().width() + px(16));
    m_boardList->setGeometry(0, 0, std::max(px(200), w - 2 * labelWidth - px(8)), comboHeight);
    m_articleCount->setGeometry(w - 2 * labelWidth, 0, labelWidth - px(4), comboHeight);
    m_toNo->setGeometry(w - labelWidth, 0, labelWidth - px(4), comboHeight);

    // The title list starts below the board list and the labels (48 units at
    // design time, where the board list stood taller), five rows high with
    // its title scroll bar, until the user moves the split; the article view
    // takes the rest, 6 units lower.
    const int titleTop = comboHeight + px(6);
    QHeaderView *header = m_title->horizontalHeader();
    const int headerHeight = header->isHidden() ? 0 : header->sizeHint().height();
    const int classic
        = 5 * row + 2 * m_title->frameWidth() + headerHeight + m_titleScroll->sizeHint().height();
    m_layingOut = true;
    m_splitter->setHandleWidth(std::max(3, px(6)));
    m_splitter->setGeometry(0, titleTop, w, std::max(0, h - titleTop));
    const int room = std::max(0, m_splitter->height() - m_splitter->handleWidth());
    const int pane
        = m_titlePaneHeight > 0 ? std::min(m_titlePaneHeight, std::max(classic, room - row)) : classic;
    m_splitter->setSizes({ pane, std::max(row, room - pane) });
    m_layingOut = false;
    layoutTitlePane();
    articleResized();
}

void MainWindow::layoutTitlePane()
{
    const double u = unit();
    auto px = [u](double units) { return qRound(units * u); };
    const int w = m_titlePane->width();
    const int scrollHeight = m_titleScroll->sizeHint().height();
    const int titleHeight = std::max(0, m_titlePane->height() - scrollHeight);
    m_title->setGeometry(0, 0, w, titleHeight);

    // Visible strips: batch 0..12, number ..W/5-18, information ..W/2-18,
    // title to the right edge; or the widths the user gave them.
    // The viewport follows the view's size only at its next resize event.
    const int inner = w - 2 * m_title->frameWidth() - m_title->verticalScrollBar()->sizeHint().width();
    int batch = px(12);
    int number = std::max(px(40), w / 5 - px(18) - batch);
    int info = std::max(px(40), w / 2 - px(18) - batch - number);
    if (m_columnWidths.size() == 3) {
        batch = m_columnWidths.at(0);
        number = m_columnWidths.at(1);
        info = m_columnWidths.at(2);
    }
    const bool was = m_layingOut;
    m_layingOut = true;
    m_title->setColumnWidth(TitleListModel::BatchColumn, batch);
    m_title->setColumnWidth(TitleListModel::NumberColumn, number);
    m_title->setColumnWidth(TitleListModel::InfoColumn, info);
    m_title->setColumnWidth(TitleListModel::TitleColumn, std::max(px(40), inner - batch - number - info));
    m_layingOut = was;

    const int scrollLeft = std::min(w, batch + number + info);
    m_titleScroll->setGeometry(scrollLeft, titleHeight, std::max(0, w - scrollLeft), scrollHeight);
    updateTitleScrollRange();
}

void MainWindow::articleResized()
{
    // The article view's screenful in lines, for the reader's paging.
    const int shown = m_article->height() - 2 * m_article->frameWidth();
    m_session.main.resizeArticleView(shown / std::max(1, m_articleLineHeight));
    m_article->scrollToTop();
    syncArticleSelection();
}

void MainWindow::updateTitleScrollRange()
{
    const int column = m_title->columnWidth(TitleListModel::TitleColumn);
    const int range = std::max(0, m_titleTextWidth + 8 - column);
    m_titleScroll->setRange(0, range);
    m_titleScroll->setPageStep(std::max(1, column));
    m_titleScroll->setSingleStep(QFontMetrics(m_title->font()).averageCharWidth() * 2);
    m_titleScroll->setEnabled(range > 0);
}

void MainWindow::refresh()
{
    // Showing, hiding or disabling the window moves the focus: the title
    // list's focus signals are not the user's then.
    const QSignalBlocker blockTitle(m_title);
    const MainWindowState &main = m_session.main;
    setWindowTitle(main.Caption);

    // Board_List
    if (main.Board_List.items != m_boardItems) {
        m_boardItems = main.Board_List.items;
        m_boardList->clear();
        m_boardList->addItems(m_boardItems);
    }
    if (m_boardList->currentIndex() != main.Board_List.ListIndex)
        m_boardList->setCurrentIndex(main.Board_List.ListIndex);
    m_boardList->setEnabled(main.Board_List.enabled);

    // The title list and the article view.
    if (m_titleModel->sync()) {
        m_titleTextWidth = widestText(m_titleModel->titles(), m_title->font());
        updateTitleScrollRange();
    }
    syncTitleSelection();
    if (m_articleModel->sync())
        m_article->scrollToTop();
    syncArticleSelection();

    m_articleCount->setText(main.ArticleCount.Caption);
    m_articleCount->setEnabled(main.ArticleCount.enabled);
    m_toNo->setText(main.To_No.Caption);
    m_toNo->setEnabled(main.To_No.enabled);
    // What the last undo or redo did.
    if (statusBar()->currentMessage() != m_session.reading.StatusText)
        statusBar()->showMessage(m_session.reading.StatusText);

    action(QStringLiteral("Search_Pointer"))->setEnabled(main.Search_Pointer_Enabled);
    action(QStringLiteral("Read_End"))->setEnabled(main.Read_End_Enabled);
    action(QStringLiteral("Search_Log"))->setEnabled(main.Search_Log_Enabled);
    action(QStringLiteral("Ido_Set"))->setEnabled(main.Ido_Set_Enabled);

    setEnabled(main.enabled);
    if (main.visible && !isVisible())
        show();
    else if (!main.visible && isVisible())
        hide();

    // The focus rule: whenever the core says Title has the focus, it has it.
    if (main.titleHasFocus && isVisible() && isActiveWindow() && !m_title->hasFocus())
        m_title->setFocus(Qt::OtherFocusReason);
}

void MainWindow::syncTitleSelection()
{
    const int row = m_session.main.Title.ListIndex;
    QItemSelectionModel *selection = m_title->selectionModel();
    if (row < 0 || row >= m_titleModel->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex index = m_titleModel->index(row, TitleListModel::NumberColumn);
    if (!selection->isRowSelected(row, {}) || selection->currentIndex().row() != row)
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_title->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void MainWindow::syncArticleSelection()
{
    const int row = m_session.main.Article.ListIndex;
    QItemSelectionModel *selection = m_article->selectionModel();
    if (row < 0 || row >= m_articleModel->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex index = m_articleModel->index(row);
    if (selection->currentIndex() != index || !selection->isSelected(index))
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_article->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void MainWindow::applyColours()
{
    const bool mono = m_session.flag(settings::OptionFlags::MonoColors);
    for (QWidget *w :
        std::initializer_list<QWidget *> { m_boardList, m_title, m_article, m_toNo, m_articleCount })
        colours::apply(w, mono);
}

void MainWindow::applyPlacement()
{
    // As the user left it; else two thirds of the screen, moved to a place
    // that DIR.DEF still holds from an earlier version of the window.
    if (places::placeMain(this, prefs::kMainGeometry))
        return;
    const kavrel::Program::Placement saved = m_program.core().savedPlacement();
    const int top = saved.top;
    const int left = saved.left;
    const int height = saved.height;
    // Left and top place the frame, the height is the window's own (as saved).
    QPoint place = pos();
    if (left > 0)
        place.setX(left);
    if (top > 0)
        place.setY(top);
    move(place);
    if (height > 0)
        resize(width(), height);
}

} // namespace kavrel::ui
