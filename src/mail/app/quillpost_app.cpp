#include "app/quillpost_app.h"

#include "address_book/friend_form.h"
#include "compose/write_form.h"
#include "dialogs/back_color_form.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "history/tuika_form.h"
#include "history/tyaku_form.h"
#include "main_window/main_form.h"
#include "reply/back_form.h"

namespace {

template <class Form>
Form& created(QPointer<Form>& slot, QuillpostApp& app) {
    if (slot.isNull()) {
        slot = new Form(app);
    }
    return *slot;
}

}  // namespace

QuillpostApp::QuillpostApp(QString folder, Desktop& desktop, Clock& clock)
    : folder_(std::move(folder)), desktop_(desktop), clock_(clock) {}

QuillpostApp::~QuillpostApp() {
    // Secondary windows first: the main window goes last, as it came first.
    for (QWidget* form : {static_cast<QWidget*>(tyaku_), static_cast<QWidget*>(tuika_),
                          static_cast<QWidget*>(write_), static_cast<QWidget*>(back_),
                          static_cast<QWidget*>(friend_), static_cast<QWidget*>(option_),
                          static_cast<QWidget*>(idPass_), static_cast<QWidget*>(backColor_),
                          static_cast<QWidget*>(main_)}) {
        delete form;
    }
}

MainForm& QuillpostApp::mainForm() {
    return created(main_, *this);
}
TyakuForm& QuillpostApp::tyakuForm() {
    return created(tyaku_, *this);
}
TuikaForm& QuillpostApp::tuikaForm() {
    return created(tuika_, *this);
}
WriteForm& QuillpostApp::writeForm() {
    return created(write_, *this);
}
BackForm& QuillpostApp::backForm() {
    return created(back_, *this);
}
FriendForm& QuillpostApp::friendForm() {
    return created(friend_, *this);
}
OptionForm& QuillpostApp::optionForm() {
    return created(option_, *this);
}
IdPassForm& QuillpostApp::idPassForm() {
    return created(idPass_, *this);
}
BackColorForm& QuillpostApp::backColorForm() {
    return created(backColor_, *this);
}

bool QuillpostApp::isLoaded(const QWidget* form) const {
    return form != nullptr &&
           (form == main_ || form == tyaku_ || form == tuika_ || form == write_ || form == back_ ||
            form == friend_ || form == option_ || form == idPass_ || form == backColor_);
}

void QuillpostApp::forget(QWidget* form) {
    if (form == main_) {
        main_.clear();
        End();
        return;
    }
    if (form == tyaku_) {
        tyaku_.clear();
    } else if (form == tuika_) {
        tuika_.clear();
    } else if (form == write_) {
        write_.clear();
    } else if (form == back_) {
        back_.clear();
    } else if (form == friend_) {
        friend_.clear();
    } else if (form == option_) {
        option_.clear();
    } else if (form == idPass_) {
        idPass_.clear();
    } else if (form == backColor_) {
        backColor_.clear();
    }
}

void QuillpostApp::End() {
    if (ending_) {
        return;
    }
    ending_ = true;
    transport_.NMailEndWinSock();
    for (QWidget* form : {static_cast<QWidget*>(tyaku_), static_cast<QWidget*>(tuika_),
                          static_cast<QWidget*>(write_), static_cast<QWidget*>(back_),
                          static_cast<QWidget*>(friend_), static_cast<QWidget*>(option_),
                          static_cast<QWidget*>(idPass_), static_cast<QWidget*>(backColor_),
                          static_cast<QWidget*>(main_)}) {
        if (form != nullptr) {
            form->close();
        }
    }
}
