#include "quillpost_form.h"

#include <QCloseEvent>

#include "quillpost_app.h"

QuillpostForm::QuillpostForm(QuillpostApp& app) : app_(app) {}

void QuillpostForm::closeEvent(QCloseEvent* event) {
    event->accept();
    app_.forget(this);
    deleteLater();
}
