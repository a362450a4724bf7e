#pragma once

// Before the book is read: a data file a text editor re-saved as UTF-8 is
// offered a conversion back to code page 932 (the original kept beside it);
// a file of mixed encodings is refused, naming its first foreign line.
class Book;

namespace encodingoffer {

enum class Outcome {
    Readable, // both files are code page 932 (now)
    Declined, // the user kept the UTF-8 files: nothing was touched, the program ends
    Refused,  // a mix, a read-only book or a failed conversion: said in the message box
};

Outcome checkBook(Book &book);

} // namespace encodingoffer
