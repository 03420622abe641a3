#include "file_dialog.h"

#include <QFileSystemModel>

namespace {

// "*.*" is every file on Windows but only names with a dot to Qt's dialog: a filter of that
// pattern alone lists every file, while the dialog still shows the filter as written.
void listEveryFileForStarDotStar(QFileDialog& dialog, const QString& filter) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (model != nullptr && filter.endsWith(QStringLiteral("(*.*)"))) {
        model->setNameFilters({QStringLiteral("*")});
    }
}

}  // namespace

void setUpFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    listEveryFileForStarDotStar(dialog, dialog.selectedNameFilter());
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { listEveryFileForStarDotStar(dialog, filter); });
}

QString runFileDialog(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
