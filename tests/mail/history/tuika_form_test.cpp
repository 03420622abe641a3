#include "history/tuika_form.h"
#include "history_fixture.h"
#include "main_window/main_form.h"

namespace {

void expectSize(TuikaForm& zoom, int points) {
    EXPECT_EQ(zoom.Text1->text(), QString::number(points));
    for (QWidget* box : {static_cast<QWidget*>(zoom.Text15), static_cast<QWidget*>(zoom.Text8),
                         static_cast<QWidget*>(zoom.Text9), static_cast<QWidget*>(zoom.Text10)}) {
        EXPECT_EQ(box->font().pointSize(), points);
    }
}

TEST_F(HistoryTest, ZoomTypeSizeStaysBetween8And200) {
    TuikaForm& zoom = app->tuikaForm();
    expectSize(zoom, 12);
    for (int i = 0; i < 4; ++i) {
        zoom.UpDown1_DownClick();
    }
    expectSize(zoom, 8);
    zoom.UpDown1->DownButton->click();
    expectSize(zoom, 8);

    zoom.Text1->setText(QStringLiteral("199"));
    zoom.UpDown1->UpButton->click();
    expectSize(zoom, 200);
    zoom.UpDown1_UpClick();
    expectSize(zoom, 200);

    // A size typed out of range, or not a number, is brought back by the arrows.
    zoom.Text1->setText(QStringLiteral("大きく"));
    zoom.UpDown1_DownClick();
    EXPECT_EQ(zoom.Text1->text(), QStringLiteral("大きく"));
    zoom.UpDown1_UpClick();
    expectSize(zoom, 8);
    zoom.Text1->setText(QStringLiteral("5000"));
    zoom.UpDown1_DownClick();
    expectSize(zoom, 200);
}

TEST_F(HistoryTest, ZoomBackClosesItAndShowsTheMainWindow) {
    TuikaForm* zoom = &app->tuikaForm();
    zoom->UpDown1_UpClick();
    zoom->show();
    zoom->Command2_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openWindow<TuikaForm>(), nullptr);
    EXPECT_TRUE(app->mainForm().isVisible());
    expectSize(app->tuikaForm(), 12);
}

}  // namespace
