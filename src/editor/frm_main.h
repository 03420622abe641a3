#pragma once

#include "text_file.h"

#include <QFont>
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QTextCursor>

#include <functional>

class Desktop;
class FixedWrapEdit;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;

// Notepane's one window: a plain-text editor wrapped at a fixed width whatever the window's
// size, its file, clipboard, search and print commands, and a small animated picture that
// floats over the text and can be dragged about on it.
class frmMain : public QMainWindow {
    Q_OBJECT

  public:
    // `folder` is the application folder, which holds the animation's pictures.
    frmMain(const QString& folder, Desktop& desktop, QWidget* parent = nullptr);

    // The tool row: toolbar, paste button, search label and box.
    QToolBar* tbToolBar;
    QPushButton* Command2;
    QLabel* Label1;
    QLineEdit* Text1;

    FixedWrapEdit* rtfEd;
    // Never shown; keeps the client area's size for the editor's height.
    QListWidget* lstLst;

    QLabel* Picture3;
    QLabel* PicBack;
    QLabel* PicMask;
    QLabel* PicPtn;
    QTimer* Timer1;

    QMenu* mnuFile;
    QAction* mnuOPen;
    QAction* mnuUPdate;
    QAction* mnuSaveAs;
    QAction* mnuPrint;
    QAction* mnuEnd;
    QMenu* mnuEdit;
    QAction* mnuUndo;
    QAction* mnuCut;
    QAction* mnuCopy;
    QAction* mnuPaste;
    QAction* mnuSelectAll;
    QAction* mnuJumpTop;
    QAction* mnuJumpTail;
    QAction* mnukensaku;
    QAction* mnutugiken;

    // The file that overwrite-save writes to; empty until Open or New sets it.
    QString currentFile;
    bool modified = false;
    // How the current file was written, so that saving keeps it so; damaged when its bytes
    // were not valid text (saving then changes the file, which the user must agree to).
    TextEncoding currentEncoding = TextEncoding::Cp932;
    LineEnd currentLineEnd = LineEnd::CrLf;
    bool currentDamaged = false;
    // 1-based position of the last search match, 0 after a failed search.
    int lastMatchPosition = 0;
    qint16 boldCount = 0;
    qint16 italicCount = 0;
    qint16 underlineCount = 0;
    // Where the picture was grabbed, inside it.
    QPoint dragOffset;
    // Column of the next animation frame in the strip.
    int animationColumn = 0;

    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    void tbToolBar_ButtonClick(const QString& key);
    void Command2_Click();

    void mnuOPen_Click();
    void mnuUPdate_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    void mnuEnd_Click();
    void mnuUndo_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuSelectAll_Click();
    void mnuJumpTop_Click();
    void mnuJumpTail_Click();
    void mnukensaku_Click();
    void mnutugiken_Click();

    void rtfEd_Change();
    void rtfEd_KeyPress();
    void rtfEd_MouseDown();
    // `at` is in the editor's coordinates.
    void rtfEd_DragDrop(QWidget* source, QPoint at);
    void Picture3_MouseDown(QPoint at);
    void Timer1_Timer();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildToolRow();
    void buildMenus();
    void buildPictures();

    void newDocument();
    // Whether the window may close: typed text that is on no disk is saved, dropped or kept
    // as the user answers.
    bool mayClose();
    // Writes the text to a file the user picks; false when cancelled, refused or failed.
    bool saveCopyAs();
    // Unnamed: changed text that has no file to go to.
    enum class SaveOutcome { Saved, Declined, Failed, Unnamed };
    // Writes the text to the current file when it changed; the box text in `error` when it
    // failed or there is no file.
    SaveOutcome saveIfModified(QString* error);
    // Overwrite-save as the menu gives it: the typed text goes to the current file, and a
    // failure is told.
    SaveOutcome overwriteSave();
    // The text as the file's encoding writes it; nullopt when that would lose characters
    // and the user does not agree.
    std::optional<QByteArray> bytesToSave(const QString& text, const QString& path);
    // Whether New may empty the file at `path`: one that holds text only on the user's Yes.
    bool mayEmptyNewFile(const QString& path);
    bool loadCurrentFile();
    void showFile(const TextFileContent& content);
    void runStartupStep(const std::function<bool()>& step);

    void applyWrap();
    int clientWidth() const;
    // Paints a clipboard command's change to the text once, then gives the editor focus.
    void beginTextChange();
    void endTextChange();
    QString selectedPlainText() const;
    // Empties the clipboard and puts the selection on it; the editor's cursor, as it was.
    QTextCursor selectionToClipboard();
    void selectMatch(int position, int length);
    void toggleStyle(qint16& counter, void (QFont::*setStyle)(bool));

    QString folder_;
    Desktop& desktop_;
    QWidget* toolRow_;
};
