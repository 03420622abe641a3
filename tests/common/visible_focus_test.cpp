#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <QVBoxLayout>

#include "visible_focus_style.h"

namespace {

// Whether the outer pixel ring of `image` is all `outer` and the ring inside it all `inner`.
bool hasRing(const QImage& image, QRgb outer, QRgb inner) {
    for (int ring = 0; ring < 2; ++ring) {
        const QRgb colour = ring == 0 ? outer : inner;
        const int right = image.width() - 1 - ring;
        const int bottom = image.height() - 1 - ring;
        for (int x = ring; x <= right; ++x) {
            if (image.pixel(x, ring) != colour || image.pixel(x, bottom) != colour) {
                return false;
            }
        }
        for (int y = ring; y <= bottom; ++y) {
            if (image.pixel(ring, y) != colour || image.pixel(right, y) != colour) {
                return false;
            }
        }
    }
    return true;
}

// The control as the window shows it, with whatever lies over it.
QImage look(QWidget& control) {
    return control.window()
        ->grab(control.geometry())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

TEST(VisibleFocus, EachControlReachedByTabIsRingedOnAColouredWindowWithColoursKept) {
    const QString previousStyle = qApp->style()->name();
    const QPalette previousPalette = QApplication::palette();
    installVisibleFocus(*qApp);
    EXPECT_EQ(QApplication::palette(), previousPalette);

    QWidget window;
    QPalette coloured = window.palette();
    coloured.setColor(QPalette::Window, QColor(255, 200, 120));
    window.setPalette(coloured);
    window.setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(&window);
    auto* start = new QLineEdit(&window);
    auto* frameless = new QLineEdit(QStringLiteral("件名"), &window);
    frameless->setFrame(false);
    auto* button = new QPushButton(QStringLiteral("送信"), &window);
    auto* check = new QCheckBox(QStringLiteral("残す"), &window);
    auto* red = new QPushButton(QStringLiteral("送信"), &window);
    red->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
    auto* list = new QListWidget(&window);
    list->addItem(QStringLiteral("一件目"));
    for (QWidget* control :
         std::initializer_list<QWidget*>{start, frameless, button, check, red, list}) {
        layout->addWidget(control);
    }
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    start->setFocus();

    const QRgb dark = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    for (QWidget* control : std::initializer_list<QWidget*>{frameless, button, check, red, list}) {
        const QImage unfocused = look(*control);
        EXPECT_FALSE(hasRing(unfocused, dark, white)) << control->metaObject()->className();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(control->hasFocus()) << control->metaObject()->className();
        EXPECT_TRUE(hasRing(look(*control), dark, white)) << control->metaObject()->className();
    }

    window.close();
    qApp->setStyle(QStyleFactory::create(previousStyle));
    QApplication::setPalette(previousPalette);
}

}  // namespace
