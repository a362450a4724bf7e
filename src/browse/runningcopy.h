#pragma once

#include <QString>

class QObject;

// The running copy of the phone book is brought to the front when the user
// starts it again: the new copy asks over a local socket and ends. The
// socket lives in the user's own runtime folder, named after the book.
namespace runningcopy {

QString serverNameFor(const QString &bookDir);

// Asks the copy that has `bookDir` open to come to the front. False when none
// answered. `holderMayBeStarting`: a copy holds the book's lock, and one that
// has only just taken it is given a few seconds to start listening.
bool askToShow(const QString &bookDir, bool holderMayBeStarting = false);

// Listens for that request (only the holder of the book's lock calls this, so
// a socket left by a crash is safely replaced) and raises the open windows.
void listenForShowRequests(const QString &bookDir, QObject *parent);

} // namespace runningcopy
