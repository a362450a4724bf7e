#pragma once

#include "store/failure.h"

#include <QString>

#include <functional>

class QSettings;

// "telbora.ini" in the book's folder: the printers' offsets, the postcards'
// senders, the sync account. Never a data file.
namespace settingsfile {

QString path();
// Changes the file through `change`, every other value kept, written the
// safe way. None on success, else why not.
Failure change(const std::function<void(QSettings &)> &change);
// Reads the file as it is on disk now through `read`; false, without
// calling it, when there is none or it cannot be parsed.
bool read(const std::function<void(QSettings &)> &read);

} // namespace settingsfile
