#pragma once

class QSettings;

// The values Notepane leaves in its per-user settings when it closes: the history and
// favourites sections removed, the auto-save flag empty. Nothing reads them back.
void writeExitSettings(QSettings& settings);
