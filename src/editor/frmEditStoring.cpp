// The editor's checks and its writes: CheckSave, CheckType, AddInfo and the
// four actions that store, add, delete and go back to the list.
#include "editor/frmEdit.h"
#include "store/book.h"
#include "store/cp932.h"
#include "store/entryrules.h"
#include "store/entrywriter.h"
#include "store/mdlDim.h"
#include "ui/frmMsgBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>

using mdlDim::GetField;

namespace {
const QString Bar = QStringLiteral("|");

int totalLength(std::initializer_list<const QLineEdit *> boxes) {
    int total = 0;
    for (const QLineEdit *box : boxes)
        total += static_cast<int>(box->text().size());
    return total;
}

QString joined(std::initializer_list<const QLineEdit *> boxes) {
    QStringList parts;
    for (const QLineEdit *box : boxes)
        parts.append(box->text());
    return entryrules::joinedParts(parts);
}

bool complain(const QString &message, QWidget *focus) {
    frmMsgBox::ask(message, MsgButtons::Yes);
    focus->setFocus();
    return false;
}

void reportFailure(const EntryWriter::Result &result) {
    frmMsgBox::ask(result.message, MsgButtons::Yes);
}

// What a write that succeeded could not do beside the entry file.
void reportSideFile(const EntryWriter::Result &result) {
    for (const QString &said : result.peopleMessages())
        frmMsgBox::ask(said, MsgButtons::Yes);
}
} // namespace

bool frmEdit::CheckSave() {
    const int choice = cboType->currentIndex();
    entryrules::EntryValues values;
    values.reading = txtPingYin->text();
    values.name = txtName->text();
    values.postalDigits = totalLength({txtZip1, txtZip2});
    values.telephoneDigits = totalLength({txtTel1, txtTel2, txtTel3});
    values.faxDigits = totalLength({txtFax1, txtFax2, txtFax3});
    values.mobileDigits = totalLength({txtMobile1, txtMobile2, txtMobile3});
    values.categoryChoice = choice;
    if (choice > 4)
        values.userCategoryName = txtNew[choice - 5]->text();
    using entryrules::EntryFault;
    const EntryFault fault = entryrules::checkEntry(values);
    QWidget *focus = nullptr;
    switch (fault) {
    case EntryFault::None:
        return true;
    case EntryFault::NoReading:
    case EntryFault::BadReadingStart:
        focus = txtPingYin;
        break;
    case EntryFault::NoName:
        focus = txtName;
        break;
    case EntryFault::BadPostalCode:
        focus = txtZip1;
        break;
    case EntryFault::BadTelephone:
        focus = txtTel1;
        break;
    case EntryFault::BadFax:
        focus = txtFax1;
        break;
    case EntryFault::BadMobile:
        focus = txtMobile1;
        break;
    case EntryFault::NoCategory:
        focus = cboType;
        break;
    case EntryFault::UnnamedCategory:
        focus = txtNew[choice - 5];
        break;
    }
    return complain(entryrules::faultMessage(fault), focus);
}

frmEdit::CategoryChange frmEdit::CheckType() {
    const int choice = cboType->currentIndex();
    if (choice <= 4)
        return {};
    const QString oldName = book_.categoryName(choice);
    const QString newName = txtNew[choice - 5]->text();
    if (!oldName.isEmpty()) {
        if (newName == oldName)
            return {};
        if (!frmMsgBox::ask(QStringLiteral("分類を保存しますか？"), MsgButtons::YesNo)) {
            putCategoryNames();
            return {};
        }
    }
    return {choice, QString::number(choice + 1) + Bar + newName};
}

bool frmEdit::writeCategory(const CategoryChange &change) {
    if (change.slot < 0)
        return true;
    const EntryWriter::Result written = book_.writeCategory(change.slot, change.line);
    if (!written) {
        // The file still holds the old name; so does the table.
        reportFailure(written);
        if (written.changedElsewhere())
            emit happened(Outcome::ChangedElsewhere);
        return false;
    }
    return true;
}

QString frmEdit::entryLine() const {
    entryrules::EntryLineFields fields;
    fields.reading = txtPingYin->text();
    fields.name = txtName->text();
    fields.postalCode = joined({txtZip1, txtZip2});
    fields.address = txtAdd->text();
    fields.telephone = joined({txtTel1, txtTel2, txtTel3});
    fields.fax = joined({txtFax1, txtFax2, txtFax3});
    fields.mobile = joined({txtMobile1, txtMobile2, txtMobile3});
    fields.email = txtEmail->text();
    fields.category = cboType->currentIndex() + 1;
    return entryrules::entryLine(fields);
}

bool frmEdit::AddInfo(int intMode) {
    EntryWriter::Result written;
    if (intMode == 1) {
        const QString line = entryLine();
        written = book_.replaceEntry(opened_, line, &person_);
        if (written) {
            opened_ = written.written;
            openedPerson_ = person_;
            // 元に戻す now goes back to what the file holds.
            openedElement_ = QString::number(opened_.number) + u'|' + line;
        }
    } else {
        written = book_.appendEntry(entryLine(), person_);
    }
    reportSideFile(written);
    if (!written) {
        reportFailure(written);
        // The list shows the file as it is now; the boxes keep what was typed.
        if (written.changedElsewhere())
            emit happened(Outcome::ChangedElsewhere);
    }
    return written.ok;
}

void frmEdit::store() {
    if (refusedAsReadOnly() || !CheckSave())
        return;
    const CategoryChange category = CheckType();
    if (!EntryChanged) {
        writeCategory(category); // the category's name alone: its own question was the decision
        return;
    }
    // One decision: いいえ leaves both files as they were.
    if (frmMsgBox::ask(QStringLiteral("上書きしてよろしいですか？"), MsgButtons::YesNo) && writeCategory(category) &&
        AddInfo(1)) {
        EntryChanged = false;
        emit happened(Outcome::Stored);
    }
    resumeTyping(); // the editor stays open
}

void frmEdit::resumeTyping() {
    if (leaving_)
        return;
    activateWindow();
    if (typingIn_)
        typingIn_->setFocus(Qt::ActiveWindowFocusReason);
}

void frmEdit::add() {
    if (refusedAsReadOnly() || !CheckSave() || !writeCategory(CheckType()) || !AddInfo(2))
        return;
    leave(Outcome::Added);
}

void frmEdit::deleteEntry() {
    if (refusedAsReadOnly() || !frmMsgBox::ask(QStringLiteral("このリストを削除しますか？"), MsgButtons::YesNo))
        return;
    const EntryWriter::Result deleted = book_.deleteEntry(opened_);
    if (!deleted) {
        reportFailure(deleted);
        if (deleted.changedElsewhere())
            emit happened(Outcome::ChangedElsewhere);
        return;
    }
    leave(Outcome::Deleted);
}

void frmEdit::backToList() {
    if (EntryChanged) {
        const std::optional<bool> save = frmMsgBox::askYesNoOrEscape(QStringLiteral("このリストを保存しますか？"));
        if (!save)
            return; // Esc: only いいえ throws the typed work away
        if (*save) {
            if (!CheckSave() || !writeCategory(CheckType()) || !AddInfo(entry_ != NewEntry ? 1 : 2))
                return;
            EntryChanged = false;
        }
    }
    leave(Outcome::Left);
}

void frmEdit::leave(Outcome outcome) {
    // Said first, so that the list is back on screen before the editor goes.
    emit happened(outcome);
    leaving_ = true;
    close();
}

void frmEdit::closeEvent(QCloseEvent *event) {
    if (leaving_) {
        event->accept();
        return;
    }
    event->ignore();
    // Queued: a window cannot close itself from inside its own close event.
    QMetaObject::invokeMethod(this, &frmEdit::backToList, Qt::QueuedConnection);
}
