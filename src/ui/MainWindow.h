#pragma once

#include <QFont>
#include <QMainWindow>

class QAction;
class QComboBox;
class QLabel;
class QListView;
class QScrollBar;
class QSplitter;
class QToolButton;

namespace kavrel {
class Session;
}

namespace kavrel::ui {

class ListBoxModel;
class ProgramCommands;
class TitleListModel;
class TitleView;

// The main window (Kavrel): the board list, the title list, the article view,
// the row counter and the move-response target, the toolbar and the menu bar,
// all showing the core's MainWindowState. Every user action is handed to the
// core as a command; the window refreshes when the state says it changed.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(ProgramCommands &program, Session &session);
    ~MainWindow() override;

    // Shows what the core's state holds now; it changes no state.
    void refresh();
    // ApplyColours: the lists and labels swap colours under MonoColors.
    void applyColours();
    // The window placement of the settings (values of 0 or less keep the default).
    void applyPlacement();

    TitleView *titleView() const { return m_title; }
    QListView *articleView() const { return m_article; }
    QComboBox *boardList() const { return m_boardList; }
    QSplitter *splitter() const { return m_splitter; }
    QAction *action(const QString &objectName) const;
    QToolButton *toolButton(int number) const;

signals:
    // The window has shown its state again.
    void refreshed();

public:
    // Pixel size of the layout unit (a list row is 16 units high).
    double unit() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The title list (with its horizontal scroll) and the article view, in the split.
    void buildTitleView(const QFont &listFont);
    void buildArticleView(const QFont &listFont);
    void buildMenus();
    void buildToolBar();
    void layoutLists();
    void layoutTitlePane();
    void setColumnWidths();
    void articleResized();
    void loadPrefs();
    void syncTitleSelection();
    void syncArticleSelection();
    void updateTitleScrollRange();
    void titleKey(int keyCode, int shift);
    // Steps of one point from the list font, for the title list and the
    // article view; kept in the settings file.
    void setZoom(int steps);
    static int articleLineHeight(const QFont &font);
    static constexpr int kMinZoom = -6;
    static constexpr int kMaxZoom = 12;

    ProgramCommands &m_program;
    Session &m_session;

    QWidget *m_central = nullptr;
    QSplitter *m_splitter = nullptr;
    QWidget *m_titlePane = nullptr;
    QComboBox *m_boardList = nullptr;
    QLabel *m_articleCount = nullptr;
    QLabel *m_toNo = nullptr;
    TitleView *m_title = nullptr;
    QScrollBar *m_titleScroll = nullptr;
    QListView *m_article = nullptr;
    TitleListModel *m_titleModel = nullptr;
    ListBoxModel *m_articleModel = nullptr;
    QStringList m_boardItems;
    int m_titleTextWidth = 0;
    int m_articleLineHeight = 16;
    int m_zoom = 0;
    QFont m_listFont;
    QList<QToolButton *> m_buttons;
    // The window's preferences: the title list's height once the user
    // dragged the split (0: the classic five rows), the widths the user gave
    // the batch, number and information columns (empty: the classic ones).
    int m_titlePaneHeight = 0;
    QList<int> m_columnWidths;
    bool m_layingOut = false;
};

} // namespace kavrel::ui
