#pragma once

#include <initializer_list>

class QWidget;

// Hides `helpBox` as soon as the pointer leaves any of `sources`, the controls whose help it
// shows: left standing, the box would cover what lies under it until the pointer happened
// to cross a bare part of the window.
void hideHelpOnLeave(QWidget& helpBox, std::initializer_list<QWidget*> sources);
