#include "app/quillpost_form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

#include "app/quillpost_app.h"

QSize clientSizeForOuter(QSize outer, QMargins frame) {
    return QSize(outer.width() - frame.left() - frame.right(),
                 outer.height() - frame.top() - frame.bottom())
        .expandedTo(QSize(0, 0));
}

QuillpostForm::QuillpostForm(QuillpostApp& app) : app_(app) {}

void QuillpostForm::closeEvent(QCloseEvent* event) {
    event->accept();
    app_.forget(this);
    deleteLater();
}

void QuillpostForm::resizeOuter(QSize outer) {
    applyOuter(outer, false);
}

void QuillpostForm::fixOuterSize(QSize outer) {
    applyOuter(outer, true);
}

void QuillpostForm::applyOuter(QSize outer, bool fixed) {
    const QMargins frame = frameMargins(*this);
    outerAwaitingFrame_ = frame.isNull() ? std::optional<QSize>(outer) : std::nullopt;
    outerFixed_ = fixed;
    const QSize client = clientSizeForOuter(outer, frame);
    if (fixed) {
        setFixedSize(client);
    } else {
        resize(client);
    }
}

bool QuillpostForm::event(QEvent* event) {
    // Read before the event is handled: a deferred delete ends the window inside it.
    const QEvent::Type type = event->type();
    const bool handled = QWidget::event(event);
    if (type == QEvent::DeferredDelete) {
        return handled;
    }
    // The window system reports the frame some time after the window is shown, with a
    // move or a resize of the framed window.
    if (outerAwaitingFrame_ &&
        (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize ||
         type == QEvent::WindowActivate) &&
        !frameMargins(*this).isNull()) {
        applyOuter(*outerAwaitingFrame_, outerFixed_);
    }
    return handled;
}

void QuillpostForm::sendOnCtrlReturn(QWidget* sendControl, const QString& help,
                                     const std::function<void()>& send) {
    const QKeySequence keys(Qt::CTRL | Qt::Key_Return);
    for (const QKeySequence& sequence : {keys, QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, send);
    }
    sendControl->setToolTip(
        QStringLiteral("%1 (%2)").arg(help, keys.toString(QKeySequence::NativeText)));
}

void QuillpostForm::answerEnterWith(QPushButton* defaultButton) {
    // A focused button takes Enter itself only when it is marked to.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(true);
    }
    defaultButton_ = defaultButton;
    if (defaultButton != nullptr) {
        defaultButton->setDefault(true);
    }
}

void QuillpostForm::keyPressEvent(QKeyEvent* event) {
    // Reached only when the focused control left Enter unanswered: a button that is not
    // marked to take it, or a control that does not use it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    QWidget* focus = focusWidget();
    const bool focusedButton = qobject_cast<QPushButton*>(focus) != nullptr ||
                               qobject_cast<QToolButton*>(focus) != nullptr;
    if (focusedButton && focus->isEnabled() && isAncestorOf(focus)) {
        static_cast<QAbstractButton*>(focus)->click();
        return;
    }
    if (!defaultButton_.isNull() && defaultButton_->isEnabled()) {
        defaultButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
