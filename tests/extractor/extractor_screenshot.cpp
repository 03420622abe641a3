// Renders Arcopen's window offscreen into <folder>/arcopen.png. The character picture is
// taken from the built application folder when the generator has drawn it there.
#include "form1.h"
#include "qt_desktop.h"
#include "screenshot.h"

int main(int argc, char** argv) {
    return runScreenshotProgram(argc, argv, [](const QDir& output) {
        QtDesktop desktop;
        Form1 form(QStringLiteral(ARCOPEN_FOLDER), desktop);
        return saveScreenshot(form, output, QStringLiteral("arcopen.png"));
    });
}
