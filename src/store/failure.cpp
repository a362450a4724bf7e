#include "store/failure.h"

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

QString describe(const Failure &failure) {
    const QString file = QStringLiteral("「%1」").arg(QFileInfo(failure.file).fileName());
    QString what;
    switch (failure.kind) {
    case Failure::Kind::None:
        return {};
    case Failure::Kind::NotRegularFile:
        return file + QStringLiteral("は通常のファイルではありません。");
    case Failure::Kind::ReadOnly:
        return file + QStringLiteral("は読み取り専用です。保存できません。");
    case Failure::Kind::Unencodable:
        return file + QStringLiteral("に保存できない文字があります。");
    case Failure::Kind::ChangedElsewhere:
        return file +
               QStringLiteral("がほかのプログラムで変更されました。一覧を読み直してから、もう一度操作して下さい。");
    case Failure::Kind::NotCodePage932:
    case Failure::Kind::BookReadOnly:
    case Failure::Kind::Other:
        return failure.detail;
    case Failure::Kind::NotContactsFile:
        return failure.detail.isEmpty()
                   ? file + QStringLiteral(
                                "は連絡先のファイルではありません（vCard でも、名前・よみ・電話・メールの列がある "
                                "CSV でもありません）。")
                   : file + QStringLiteral("の") + failure.detail + QStringLiteral("連絡先のファイルではありません。");
    case Failure::Kind::CategoryUnnamed:
        return QStringLiteral("分類 %1 にはまだ名前がありません。電話帳で名前を付けてから取り込んで下さい。")
            .arg(failure.detail);
    case Failure::Kind::NotWritableInEncoding:
        return QStringLiteral("%1：シフトJIS で書けない文字があります").arg(failure.detail);
    case Failure::Kind::NoPrinter:
        return QStringLiteral("プリンターがありません。");
    case Failure::Kind::PrinterCannotStart:
        return QStringLiteral("プリンター「%1」で印刷を始められません。").arg(failure.file);
    case Failure::Kind::PrinterFailed:
        return QStringLiteral("プリンター「%1」への印刷に失敗しました。").arg(failure.file);
    case Failure::Kind::PrinterRefusedJob:
        return QStringLiteral("プリンター「%1」が印刷を受け付けませんでした。\r%2").arg(failure.file, failure.detail);
    case Failure::Kind::PrinterNotAccepting:
    case Failure::Kind::PrinterStopped: {
        const QString said = failure.kind == Failure::Kind::PrinterStopped
                                 ? QStringLiteral("プリンター「%1」は停止しています。")
                                 : QStringLiteral("プリンター「%1」は印刷を受け付けていません。");
        return said.arg(failure.file) + (failure.detail.isEmpty() ? QString() : QLatin1Char('\r') + failure.detail);
    }
    case Failure::Kind::CannotOpen:
        what = QStringLiteral("を開けません。");
        break;
    case Failure::Kind::CannotRead:
        what = QStringLiteral("を読み込めません。");
        break;
    case Failure::Kind::CannotSave:
        what = QStringLiteral("を保存できません。");
        break;
    case Failure::Kind::CannotCreate:
        what = QStringLiteral("を作れません。");
        break;
    case Failure::Kind::CannotMakeFolder:
        what = QStringLiteral("のフォルダーを作れません。");
        break;
    }
    return file + what + failure.detail + QLatin1Char('\r') + reasonOf(failure.error);
}
