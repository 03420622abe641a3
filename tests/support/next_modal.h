#pragma once

#include <functional>

class QWidget;

// Runs `act` on the next modal box as soon as it shows, from the event loop the box runs;
// for tests that answer a real box with real key events.
void whenModalShows(std::function<void(QWidget* box)> act);
