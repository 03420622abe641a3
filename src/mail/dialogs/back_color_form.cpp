#include "dialogs/back_color_form.h"

#include <QDir>
#include <QSignalBlocker>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "desktop.h"
#include "failure_detail.h"
#include "main_window/main_form.h"
#include "routines.h"
#include "settings/settings_files.h"
#include "units.h"

namespace {

constexpr int kInnerWidth = 4455;
constexpr int kInnerHeight = 2310;

}  // namespace

BackColorForm::BackColorForm(QuillpostApp& app)
    : QuillpostForm(app),
      Slider{new QSlider(Qt::Horizontal, this), new QSlider(Qt::Horizontal, this),
             new QSlider(Qt::Horizontal, this)},
      ScaleLabel(new QLabel(
          QStringLiteral(" 0    1    2     3    4    5     6    7    8    9   10"), this)),
      Text1(new QLineEdit(this)),
      Text2(new QLineEdit(this)),
      Text3(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("背景色設定"));
    setFixedSize(twipsToPixels(kInnerWidth), twipsToPixels(kInnerHeight));

    const QString names[] = {QStringLiteral("赤"), QStringLiteral("緑"), QStringLiteral("青")};
    for (int i = 0; i < 3; ++i) {
        auto* name = new QLabel(names[i], this);
        name->setGeometry(twipsRect(120, 180 + i * 600, 360, 360));
        Slider[i]->setGeometry(twipsRect(480, 120 + i * 600, 3855, 480));
        Slider[i]->setTickPosition(QSlider::TicksBelow);
        connect(Slider[i], &QSlider::valueChanged, this, [this, i] { Slider_Change(i); });
    }
    ScaleLabel->setGeometry(twipsRect(480, 1920, 3855, 300));
    // The value boxes hold what is saved; they live outside the visible area.
    Text1->setGeometry(twipsRect(kInnerWidth + 120, 0, 600, 300));
    Text2->setGeometry(twipsRect(kInnerWidth + 120, 360, 600, 300));
    Text3->setGeometry(twipsRect(kInnerWidth + 120, 720, 600, 300));
    Form_Load();
}

void BackColorForm::Form_Load() {
    for (QSlider* slider : Slider) {
        slider->setRange(0, kMaximum);
        slider->setSingleStep(kSmallStep);
        slider->setPageStep(kLargeStep);
        slider->setTickInterval(kTickInterval);
    }
    const ColourSettings saved = readColourSettings(app_.folder());
    const int values[] = {saved.red, saved.green, saved.blue};
    QLineEdit* boxes[] = {Text1, Text2, Text3};
    // The main window applies the saved colour itself while it loads this dialog, so the
    // sliders are set quietly here.
    for (int i = 0; i < 3; ++i) {
        const int value = qBound(0, values[i], kMaximum);
        boxes[i]->setText(QString::number(value));
        const QSignalBlocker quiet(Slider[i]);
        Slider[i]->setValue(numericValue16(boxes[i]->text()));
    }
}

void BackColorForm::Slider_Change(int) {
    const int red = Slider[0]->value();
    const int green = Slider[1]->value();
    const int blue = Slider[2]->value();
    app_.mainForm().setBackColor(QColor(red, green, blue));
    Text1->setText(QString::number(red));
    Text2->setText(QString::number(green));
    Text3->setText(QString::number(blue));
}

void BackColorForm::Form_Unload() {
    const ColourSettings colour{numericValue16(Text1->text()), numericValue16(Text2->text()),
                                numericValue16(Text3->text())};
    QString reason;
    if (!writeColourSettings(app_.folder(), colour, &reason) && !app_.ending()) {
        app_.desktop().message(
            this, QStringLiteral("背景色を保存できません。次回の起動時には元の色に戻ります。"
                                 "ディスクの空きと、★MailDataフォルダに書き込めるかを"
                                 "確かめてください。\n%1")
                      .arg(fileAndReason(appPath(app_.folder(), u"\\★MailData\\ini.ini"), reason)));
    }
}

void BackColorForm::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QuillpostForm::closeEvent(event);
}
