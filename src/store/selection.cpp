#include "store/selection.h"

#include "store/book.h"
#include "store/bookencoding.h"
#include "store/bookindex.h"
#include "store/cp932.h"
#include "store/entryrecord.h"
#include "store/kanarow.h"
#include "store/linefile.h"
#include "store/loader.h"
#include "store/ordering.h"
#include "store/search.h"

namespace selection {

int categoryOf(const QString &element) {
    bool isNumber = false;
    const int category = fieldOfElement(element, EntryField::Category).toInt(&isNumber);
    return isNumber && category >= 1 && category <= 10 ? category : 0;
}

QString readingOf(const QString &element) {
    return fieldOfElement(element, EntryField::Reading);
}

namespace {

// A selection from disk: both data files read anew, then the shown entries
// made of the entries `pick` chooses from the book's index, in its order.
template <typename Pick> bool loadPicked(Book &book, Pick pick, QString *error) {
    mdlDim::ShownEntries &table = book.entries();
    book.printTable().clear();
    const auto fail = [&](const Failure &failure) {
        table.clear();
        if (error)
            *error = describe(failure);
        return false;
    };
    // The entry file first: when both files are missing, it is the one named.
    const QString entryPath = book.entryPath();
    if (!cp932::available())
        return fail({Failure::Kind::NoCodec, entryPath});
    BookIndex &index = book.index();
    table.buffer() = QByteArray(); // the index's bytes are read into, and must be its own
    if (Failure failure = index.refresh(entryPath); failure.failed())
        return fail(failure);
    // Told in the walk that made the index; the reason looked for only when it is not.
    if (!index.isCp932())
        return fail(bookencoding::readRefusal(entryPath, index.bytes()));
    mdlDim::CategoryLines categories;
    QList<QByteArray> categoryLines;
    if (Failure failure = mdlDim::readCategories(book.categoryPath(), book.categories(), categories, categoryLines);
        failure.failed())
        return fail(failure);

    table.buffer() = index.bytes();
    std::vector<mdlDim::ShownEntries::Line> &shown = table.lines();
    shown = pick(index);
    book.setCategories(categories, std::move(categoryLines));
    return true;
}

} // namespace

bool loadSelection(Book &book, int category, int row, QString *error) {
    return loadPicked(
        book, [&](BookIndex &index) -> const std::vector<BookIndex::Line> & { return index.selection(category, row); },
        error);
}

bool loadSearch(Book &book, const search::Query &query, QString *error) {
    return loadPicked(
        book, [&](BookIndex &index) -> const std::vector<BookIndex::Line> & { return index.search(query); }, error);
}

} // namespace selection
