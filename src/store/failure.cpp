#include "store/failure.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

QString reasonOf(int err) {
    switch (err) {
    case ENOENT:
        return QStringLiteral("ファイルが見つかりません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが許可されていません。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です。");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空きが足りません。");
    case EISDIR:
        return QStringLiteral("フォルダーです。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case EIO:
        return QStringLiteral("入出力エラーが発生しました。");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがあります。");
    case ENOTDIR:
        return QStringLiteral("フォルダーがありません。");
    default:
        return QStringLiteral("%1（エラー番号 %2）").arg(QString::fromLocal8Bit(std::strerror(err))).arg(err);
    }
}

namespace {

using K = Failure::Kind;

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString joined(const QStringList &fileNames) {
    return fileNames.join(QStringLiteral(" と "));
}

// What a book file found in another encoding is, before what is done about it.
QString foreignEncoding(K found, const QString &name, int line) {
    switch (found) {
    case K::InUtf8:
        return utf8Explanation({name});
    case K::InUtf16:
        return QStringLiteral("%1 は UTF-16（Unicode）で保存されています。この電話帳の形式は Shift_JIS です。"
                              "テキストエディターで Shift_JIS か UTF-8 で保存し直して下さい。")
            .arg(name);
    default:
        return QStringLiteral("%1 の %2 行目は Shift_JIS（この電話帳の形式）ではありません。"
                              "文字コードの違う行が混ざっています。テキストエディターでその行を直して下さい。")
            .arg(name)
            .arg(line);
    }
}

QString heldBy(K kind, const QString &book) {
    if (kind == K::HeldByTelbora)
        return QStringLiteral("電話帳（%1）は telbora で開いています。telbora を閉じてから、もう一度お試し下さい。")
            .arg(book);
    if (kind == K::HeldByContacts)
        return QStringLiteral("電話帳（%1）は telbora-contacts "
                              "が取り込みか書き出しに使っています。終わってから、もう一度お試し下さい。")
            .arg(book);
    return QStringLiteral("電話帳（%1）はほかのプログラムが開いています。閉じてから、もう一度お試し下さい。").arg(book);
}

} // namespace

QString describe(const Failure &failure) {
    const QString name = QFileInfo(failure.file).fileName();
    const QString file = QStringLiteral("「%1」").arg(name);
    const auto at = [&](const QString &what) {
        return failure.line == 0 ? what : QStringLiteral("%1 行目：%2").arg(failure.line).arg(what);
    };
    QString what;
    switch (failure.kind) {
    case K::None:
        return {};
    case K::NotRegularFile:
        return file + QStringLiteral("は通常のファイルではありません。");
    case K::ReadOnly:
        return file + QStringLiteral("は読み取り専用です。保存できません。");
    case K::Unencodable:
        return file + QStringLiteral("に保存できない文字があります。");
    case K::ChangedElsewhere:
        return file +
               QStringLiteral("がほかのプログラムで変更されました。一覧を読み直してから、もう一度操作して下さい。");
    case K::Other:
        return failure.detail;
    case K::NotContactsFile:
        return failure.line == 0
                   ? file + QStringLiteral(
                                "は連絡先のファイルではありません（vCard でも、名前・よみ・電話・メールの列がある "
                                "CSV でもありません）。")
                   : file + QStringLiteral("の %1 行目が %2 MB を超えています。連絡先のファイルではありません。")
                                .arg(failure.line)
                                .arg(failure.detail);
    case K::CategoryUnnamed:
        return QStringLiteral("分類 %1 にはまだ名前がありません。電話帳で名前を付けてから取り込んで下さい。")
            .arg(failure.detail);
    case K::NotWritableInEncoding:
        return QStringLiteral("%1：シフトJIS で書けない文字があります").arg(failure.detail);
    case K::NoContactsFiles:
        return QStringLiteral("取り込む vCard か CSV のファイルを指定して下さい。");
    case K::NoPrinter:
        return QStringLiteral("プリンターがありません。");
    case K::PrinterCannotStart:
        return QStringLiteral("プリンター「%1」で印刷を始められません。").arg(failure.file);
    case K::PrinterFailed:
        return QStringLiteral("プリンター「%1」への印刷に失敗しました。").arg(failure.file);
    case K::PrinterRefusedJob:
        return QStringLiteral("プリンター「%1」が印刷を受け付けませんでした。\r%2").arg(failure.file, failure.detail);
    case K::PrinterNotAccepting:
    case K::PrinterStopped: {
        const QString said = failure.kind == K::PrinterStopped
                                 ? QStringLiteral("プリンター「%1」は停止しています。")
                                 : QStringLiteral("プリンター「%1」は印刷を受け付けていません。");
        return said.arg(failure.file) + (failure.detail.isEmpty() ? QString() : QLatin1Char('\r') + failure.detail);
    }
    case K::CannotOpen:
        what = QStringLiteral("を開けません。");
        break;
    case K::CannotRead:
        what = QStringLiteral("を読み込めません。");
        break;
    case K::CannotSave:
        what = QStringLiteral("を保存できません。");
        break;
    case K::CannotCreate:
        what = QStringLiteral("を作れません。");
        break;
    case K::CannotMakeFolder:
        what = QStringLiteral("のフォルダーを作れません。");
        break;
    // The book's own files, the lock and the postal table.
    case K::NoCodec:
        return QStringLiteral("文字コード（シフトJIS）の変換が使えません。\rデータを読み込めません。");
    case K::TooManyLines:
        return QStringLiteral("「%1」が壊れています。\r%2行を超えています。").arg(name).arg(failure.line);
    case K::InUtf8:
        return utf8Explanation({name}) +
               QStringLiteral(
                   "\r電話帳を起動し直すか、telbora-contacts に --convert を付けると Shift_JIS に戻せます。");
    case K::InUtf16:
    case K::MixedEncodings:
        return foreignEncoding(failure.kind, name, failure.line);
    case K::NotCodePage932:
        return foreignEncoding(failure.found, name, failure.line) +
               (failure.found == K::InUtf8
                    ? QStringLiteral(
                          "\rShift_JIS の行を書き足すと直せなくなるため、書き込みません。電話帳を起動し直すと "
                          "Shift_JIS に戻せます。")
                    : QStringLiteral("\r書き込みません。"));
    case K::WouldReadAsUtf8:
        return QStringLiteral(
                   "「%1」を Shift_JIS に変換すると、UTF-8 と見分けられない行ができるため、変換しませんでした。"
                   "\rファイルはそのままです。テキストエディターで Shift_JIS として保存し直して下さい。")
            .arg(name);
    case K::CannotMakeScratch:
        return QStringLiteral("変換用のフォルダーを作れません。\r%1").arg(failure.detail);
    case K::FolderMissing:
        return QStringLiteral("電話帳のフォルダー「%1」がありません。").arg(native(failure.file));
    case K::NotAFolder:
        return QStringLiteral("「%1」はフォルダーではありません。電話帳のフォルダーを指定して下さい。")
            .arg(native(failure.file));
    case K::FolderNotWritable:
        return QStringLiteral("フォルダー「%1」に書き込めません。").arg(native(failure.file)) + reasonOf(failure.error);
    case K::FileNotWritable:
        return QStringLiteral("「%1」に書き込めません。").arg(native(failure.file)) + reasonOf(failure.error);
    case K::LockIsLink:
        return QStringLiteral("「%1」がリンクになっています。電話帳を開けません。").arg(native(failure.file));
    case K::LockNotRegular:
        return QStringLiteral("「%1」は通常のファイルではありません。電話帳を開けません。").arg(native(failure.file));
    case K::CannotLock:
        return QStringLiteral("「%1」を作れません。電話帳を開けません。\r").arg(name) + reasonOf(failure.error);
    case K::HeldByTelbora:
    case K::HeldByContacts:
    case K::HeldByOther:
        return heldBy(failure.kind, native(failure.file));
    case K::SideCannotKeep:
        return QStringLiteral("「%1」が壊れていますが、別の名前で残せません。").arg(name);
    case K::SideNotSaved:
        return QStringLiteral("電話帳は保存しましたが、人ごとの情報（%1）を保存できませんでした。\r%2")
            .arg(name, failure.detail);
    case K::PostalTableMissing:
        return QStringLiteral("郵便番号の表がありません。\r%1").arg(native(failure.file));
    case K::PostalTableDamaged:
        return QStringLiteral("郵便番号の表「%1」が壊れています。").arg(native(failure.file));
    case K::BookReadOnly:
        return QStringLiteral("電話帳を読み取り専用で開いています。書き込めません。\r") + failure.detail;
    // A side file's damage, and where when known.
    case K::SideNotUtf8:
        return at(QStringLiteral("UTF-8 でないバイトがあります"));
    case K::SideNoHeader:
        return at(QStringLiteral("このプログラムの書いた見出しがありません"));
    case K::SideBadHeader:
        return at(QStringLiteral("見出しが正しくありません"));
    case K::SideBadUid:
        return at(QStringLiteral("UID が正しくありません"));
    case K::SideBadEscape:
        return at(QStringLiteral("「\\」の後ろが正しくありません"));
    case K::SideBadHash:
        return at(QStringLiteral("行の値が正しくありません"));
    case K::SideNotKeyValue:
        return at(QStringLiteral("「項目=値」になっていない列があります"));
    case K::SideTooFewColumns:
        return at(QStringLiteral("項目が足りません"));
    case K::SideUidTwice:
        return at(QStringLiteral("同じ UID がほかの行にもあります"));
    case K::SideBadJournalLine:
        return at(QStringLiteral("追記の行が正しくありません"));
    case K::SideRecordAfterJournal:
        return at(QStringLiteral("追記の行のあとに記録があります"));
    case K::SideNoUidToDelete:
        return at(QStringLiteral("消す UID がありません"));
    }
    return file + what + failure.detail +
           (failure.error == 0 ? QString() : QLatin1Char('\r') + reasonOf(failure.error));
}

QString utf8Question(const QStringList &fileNames) {
    return QStringLiteral("%1 は UTF-8 で保存されています。Shift_JIS（この電話帳の形式）に戻しますか？")
               .arg(joined(fileNames)) +
           QStringLiteral("\r元のファイルは横に残します。");
}

QString utf8Explanation(const QStringList &fileNames) {
    return QStringLiteral("%1 は UTF-8 で保存されています。この電話帳の形式は Shift_JIS です。").arg(joined(fileNames));
}

QString unheldCharacter(const QString &fileName, int line, const QString &character) {
    const QString where = QStringLiteral("%1 行目の「%2」").arg(line).arg(character);
    return fileName.isEmpty() ? where : fileName + u' ' + where;
}

QString sideFileKeptForVanished(qsizetype count, qsizetype vanished) {
    return QStringLiteral("「VexaTel.txt」から、%1 人のうち %2 人の行が消えています。ほかのプログラムが電話帳を"
                          "空にしたか壊したおそれがあるため、「telbora-people.tsv」はそのままにしました。"
                          "元のファイルを戻せば、その人たちの詳細も元どおりです。")
        .arg(count)
        .arg(vanished);
}

QString sideFileRebuilt(const Failure &damage, const QString &keptAs) {
    return QStringLiteral("「%1」が壊れていました（%2）。%3読める行の人ごとの情報は引き継ぎ、ほかは作り直しました。")
        .arg(QFileInfo(damage.file).fileName(), describe(damage),
             keptAs.isEmpty() ? QString()
                              : QStringLiteral("元のファイルは「%1」として残し、").arg(QFileInfo(keptAs).fileName()));
}
