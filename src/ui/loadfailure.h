#pragma once

#include <QString>
#include <functional>

class Book;

namespace mdlDim {

// Book::load for the windows: on failure the message box tells what failed
// and the program ends without writing anything.
bool LoadDataOrEnd(Book &book);
// Shows what failed in the message box, naming the book's folder.
void showLoadFailure(const Book &book, const QString &error);
// The same, then ends the program.
void showLoadFailureAndEnd(const Book &book, const QString &error);

// Ends the program after a load failure has been shown. Tests replace the
// ending; an empty function restores it.
void endAfterLoadFailure();
void setLoadFailureEnd(std::function<void()> end);

} // namespace mdlDim
