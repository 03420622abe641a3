#include "history/tuika_form.h"

#include <QScreen>

#include <algorithm>

#include "app/backgrounds.h"
#include "app/quillpost_app.h"
#include "main_window/main_form.h"
#include "routines.h"
#include "units.h"

namespace {

constexpr int kWidthTwips = 10065;
constexpr int kHeightTwips = 7695;
constexpr int kBodyTop = 1440;
const QColor kLightYellow(255, 255, 192);
const QColor kBarColour(192, 255, 255);

}  // namespace

TuikaForm::TuikaForm(QuillpostApp& app)
    : QuillpostForm(app),
      TitleBar(new QFrame(this)),
      TitleLabel(new QLabel(QStringLiteral("拡大フォーム"), TitleBar)),
      SizeLabel(new QLabel(QStringLiteral("文字サイズ"), TitleBar)),
      Text1(new QLineEdit(TitleBar)),
      UpDown1(new UpDown(TitleBar)),
      Command2(new QPushButton(QStringLiteral("戻る"), TitleBar)),
      SubjectLabel(new QLabel(QStringLiteral("件名"), this)),
      Text8(new QLineEdit(this)),
      SenderLabel(new QLabel(QStringLiteral("差出人"), this)),
      Text9(new QLineEdit(this)),
      DateLabel(new QLabel(QStringLiteral("日付"), this)),
      Text10(new QLineEdit(this)),
      BodyLabel(new QLabel(QStringLiteral("本文"), this)),
      Text15(new TextBox(this)) {
    setWindowTitle(QStringLiteral("切り出しフォーム"));
    resize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));
    move(screen()->availableGeometry().center() - rect().center());

    TitleBar->setGeometry(twipsRect(0, 0, kWidthTwips, 420));
    fillTextBackground(TitleBar, kBarColour);
    TitleLabel->setGeometry(twipsRect(120, 45, 2400, 330));
    SizeLabel->setGeometry(twipsRect(5280, 45, 1100, 330));
    Text1->setGeometry(twipsRect(6420, 45, 615, 330));
    UpDown1->setGeometry(twipsRect(7050, 45, 255, 330));
    Command2->setGeometry(twipsRect(8640, 30, 1305, 360));

    SubjectLabel->setGeometry(twipsRect(120, 450, 900, 345));
    Text8->setGeometry(twipsRect(1020, 450, 8925, 345));
    SenderLabel->setGeometry(twipsRect(120, 810, 900, 345));
    Text9->setGeometry(twipsRect(1020, 810, 4980, 345));
    DateLabel->setGeometry(twipsRect(6120, 810, 600, 345));
    Text10->setGeometry(twipsRect(6720, 810, 3225, 345));
    BodyLabel->setGeometry(twipsRect(120, 1170, 900, 270));
    for (QLineEdit* box : {Text8, Text9, Text10}) {
        fillTextBackground(box, kLightYellow);
    }
    Text15->setGeometry(twipsRect(0, kBodyTop, 10095, 6255));
    fillTextBackground(Text15, Qt::white);
    Text15->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab goes back round to the size box and 戻る instead of typing into the mail.
    Text15->moveFocusOnTab(true);

    connect(UpDown1->DownButton, &QToolButton::clicked, this, &TuikaForm::UpDown1_DownClick);
    connect(UpDown1->UpButton, &QToolButton::clicked, this, &TuikaForm::UpDown1_UpClick);
    connect(Command2, &QPushButton::clicked, this, &TuikaForm::Command2_Click);
    Form_Load();
}

void TuikaForm::Form_Load() {
    Text1->setText(QString::number(kStartSize));
    applySize(kStartSize);
}

void TuikaForm::applySize(int points) {
    for (QWidget* box : {static_cast<QWidget*>(Text15), static_cast<QWidget*>(Text8),
                         static_cast<QWidget*>(Text9), static_cast<QWidget*>(Text10)}) {
        QFont font = box->font();
        font.setPointSize(points);
        box->setFont(font);
    }
}

// A size typed outside the range (or no number at all) is brought back into it by the
// next arrow press rather than applied.
void TuikaForm::UpDown1_DownClick() {
    const int size = numericValue16(Text1->text());
    if (size > kSmallestSize) {
        const int smaller = std::clamp(size - 1, kSmallestSize, kLargestSize);
        Text1->setText(QString::number(smaller));
        applySize(smaller);
    }
}

void TuikaForm::UpDown1_UpClick() {
    const int size = numericValue16(Text1->text());
    if (size < kLargestSize) {
        const int larger = std::clamp(size + 1, kSmallestSize, kLargestSize);
        Text1->setText(QString::number(larger));
        applySize(larger);
    }
}

void TuikaForm::Command2_Click() {
    QuillpostApp& app = app_;
    Unload();
    app.mainForm().show();
}

void TuikaForm::resizeEvent(QResizeEvent*) {
    Text15->setGeometry(0, Text15->y(), width(), std::max(0, height() - Text15->y()));
}
