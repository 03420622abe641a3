#pragma once

#include <QString>
#include <QStringList>

// The folders one extraction creates, so that a failed archive takes back those it left
// empty and leaves no trace where nothing came out.
class CreatedFolders {
  public:
    // Creates `path` with any missing parents; false when it cannot.
    bool make(const QString& path);
    // Removes the folders made here that are empty, the deepest first.
    void removeEmpty() const;

  private:
    QStringList made_;
};
