// The main window's menus: account and options dialogs, background pictures and the slide
// show, the colour dialog, the companion programs and the vendor's home page.
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "address_book/friend_form.h"
#include "app/quillpost_app.h"
#include "app_folder.h"
#include "desktop.h"
#include "dialogs/back_color_form.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "main_window/main_form.h"
#include "routines.h"
#include "show_in_place.h"
#include "units.h"

namespace {

constexpr int kSlideCount = 10;
constexpr int kSlideMs = 5000;

QString backgroundPicture(const QString& folder, int n) {
    return appPath(folder, QStringLiteral("\\背景画像\\%1.jpg").arg(n));
}

}  // namespace

void MainForm::createMenus() {
    menuBar = new QMenuBar(this);

    mnFile = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    mnuReceive = mnFile->addAction(QStringLiteral("受信(&R)"));
    mnuReceive->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuCompose = mnFile->addAction(QStringLiteral("メール作成(&N)"));
    mnuCompose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuline11 = mnFile->addSeparator();
    mnuID = mnFile->addAction(QStringLiteral("ID/パスワード入力画面"));
    mnuline12 = mnFile->addSeparator();
    mnExit = mnFile->addAction(QStringLiteral("終了(X)"));

    mnOptionMenu = menuBar->addMenu(QStringLiteral("設定(&O)"));
    mnOption = mnOptionMenu->addAction(QStringLiteral("設定(&O)..."));

    mnuBac = menuBar->addMenu(QStringLiteral("背景画"));
    QAction** pictures[kSlideCount] = {&mnu1, &mnu2, &mnu3, &mnu4, &mnu5,
                                       &mnu6, &mnu7, &mnu8, &mnu9, &mnu10};
    for (int n = 1; n <= kSlideCount; ++n) {
        QAction* item = mnuBac->addAction(QStringLiteral("Image %1").arg(n));
        *pictures[n - 1] = item;
        connect(item, &QAction::triggered, this, [this, n] { mnuImage_Click(n); });
    }
    mnuRe = mnuBac->addAction(QStringLiteral("連続"));
    mnuline10 = mnuBac->addSeparator();
    mnuColor = mnuBac->addAction(QStringLiteral("背景色"));

    // The popup menu of the large picture; it has no place on the menu bar.
    mnupopup = new QMenu(QStringLiteral("Popup"), this);
    mnuIDPASS = mnupopup->addAction(QStringLiteral("ID/パスワード入力画面"));
    mnuline15 = mnupopup->addSeparator();
    mnuadoress = mnupopup->addAction(QStringLiteral("アドレス帳"));
    mnuline3 = mnupopup->addSeparator();
    mnumeiwaku = mnupopup->addAction(QStringLiteral("迷惑メール"));
    mnuline4 = mnupopup->addSeparator();
    mnulpkaito = mnupopup->addAction(QStringLiteral("LHA解凍"));
    mnulphaa = mnupopup->addAction(QStringLiteral("LHA圧縮"));

    mnuakai = menuBar->addMenu(QStringLiteral("圧縮・解凍"));
    mnukai = mnuakai->addAction(QStringLiteral("LHA解凍"));
    mnua = mnuakai->addAction(QStringLiteral("LHA圧縮"));

    mnuHP = menuBar->addMenu(QStringLiteral("HP"));
    mnuhomepage = mnuHP->addAction(QStringLiteral("【クイル工房】ホームページ"));

    connect(mnuReceive, &QAction::triggered, this, &MainForm::Command3_Click);
    connect(mnuCompose, &QAction::triggered, this, &MainForm::Command4_Click);
    connect(mnuID, &QAction::triggered, this, &MainForm::mnuID_Click);
    connect(mnExit, &QAction::triggered, this, &MainForm::mnExit_Click);
    connect(mnOption, &QAction::triggered, this, &MainForm::mnOption_Click);
    connect(mnuRe, &QAction::triggered, this, &MainForm::mnuRe_Click);
    connect(mnuColor, &QAction::triggered, this, &MainForm::mnuColor_Click);
    connect(mnuIDPASS, &QAction::triggered, this, &MainForm::mnuIDPASS_Click);
    connect(mnuadoress, &QAction::triggered, this, &MainForm::mnuadoress_Click);
    connect(mnumeiwaku, &QAction::triggered, this, &MainForm::mnumeiwaku_Click);
    connect(mnulpkaito, &QAction::triggered, this, &MainForm::mnulpkaito_Click);
    connect(mnulphaa, &QAction::triggered, this, &MainForm::mnulphaa_Click);
    connect(mnukai, &QAction::triggered, this, &MainForm::mnukai_Click);
    connect(mnua, &QAction::triggered, this, &MainForm::mnua_Click);
    connect(mnuhomepage, &QAction::triggered, this, &MainForm::mnuhomepage_Click);

    menuBar->setGeometry(0, 0, twipsToPixels(kWidth), menuBar->sizeHint().height());
    // The menus keep the desktop's colours whatever background the window takes.
    QPalette palette = menuBar->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Window));
    menuBar->setPalette(palette);
}

void MainForm::Image1_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::RightButton) {
        mnupopup->popup(globalPos);
    }
}

void MainForm::mnuID_Click() {
    // Over the window the user chose it from, not at the screen's corner.
    ShowOver(app_.idPassForm(), *this);
}

void MainForm::mnuIDPASS_Click() {
    mnuID_Click();
}

void MainForm::mnExit_Click() {
    Unload();
}

void MainForm::mnumeiwaku_Click() {
    Unload();
}

void MainForm::mnOption_Click() {
    app_.optionForm().show();
}

void MainForm::mnuColor_Click() {
    app_.backColorForm().show();
}

void MainForm::mnuadoress_Click() {
    app_.friendForm().show();
}

void MainForm::mnuImage_Click(int n) {
    setBackground(backgroundPicture(app_.folder(), n));
}

void MainForm::mnuRe_Click() {
    // A second show started during the pauses would fight this one over the picture.
    if (slideShowRunning_) {
        return;
    }
    slideShowRunning_ = true;
    const QPointer<MainForm> self(this);
    for (int n = 1; n <= kSlideCount; ++n) {
        setBackground(backgroundPicture(app_.folder(), n));
        WaitMs(app_.clock(), kSlideMs);
        if (self.isNull() || app_.ending()) {
            return;
        }
    }
    setBackground(backgroundPicture(app_.folder(), 1));
    slideShowRunning_ = false;
}

void MainForm::mnulpkaito_Click() {
    startCompanion(u"\\data\\Arcopen.exe", QStringLiteral("LHA解凍プログラム（Arcopen）"));
}

void MainForm::mnukai_Click() {
    mnulpkaito_Click();
}

void MainForm::mnulphaa_Click() {
    startCompanion(u"\\data\\Arcpack.exe", QStringLiteral("LHA圧縮プログラム（Arcpack）"));
}

void MainForm::mnua_Click() {
    mnulphaa_Click();
}

void MainForm::startCompanion(QStringView literal, const QString& name) {
    const QString path = programPath(app_.folder(), literal);
    const QFileInfo program(path);
    if (!program.isFile() || !program.isExecutable()) {
        app_.desktop().message(this,
                               QStringLiteral("%1が見つかりません。Quillpostのフォルダーに%1が"
                                              "入っているかを確かめてください。\n%2")
                                   .arg(name, QDir::toNativeSeparators(path)));
        return;
    }
    if (!app_.desktop().startProgram(path)) {
        app_.desktop().message(
            this, QStringLiteral("%1を起動できませんでした。もう一度試して、だめなときはQuillpostを"
                                 "入れ直してください。\n%2")
                      .arg(name, QDir::toNativeSeparators(path)));
    }
}

void MainForm::mnuhomepage_Click() {
    const QUrl address(QString::fromLatin1(kHomePage));
    if (!app_.desktop().openUrl(address)) {
        app_.desktop().message(
            this,
            QStringLiteral(
                "ホームページを開けませんでした。ブラウザーが使えるかを確かめてください。\n%1")
                .arg(address.toString()));
    }
}
