#pragma once

#include <QString>

class Book;

namespace startup {

// Takes the book in `book` for the phone book's windows: the lock (an open
// copy comes to the front instead; a read-only book is read), then the
// encodings of its files, then the book itself. -1 when the windows may open, otherwise the exit
// code; every end but a copy brought to the front is said in the message box.
int takeBook(Book &book);

} // namespace startup
