#pragma once

#include <QString>

class Book;

namespace mdlDim {

// Book::load for the windows. On failure the message box tells what failed;
// the book keeps the tables it had, so the window stays and a later load
// reads the mended book.
bool loadOrSayWhy(Book &book);
// Shows what failed in the message box, naming the book's folder.
void showLoadFailure(const Book &book, const QString &error);

} // namespace mdlDim
